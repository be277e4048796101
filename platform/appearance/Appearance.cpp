#include "platform/appearance/Appearance.h"

Appearance::Appearance(QObject *parent) : QObject(parent) {}

Appearance::~Appearance() = default;
