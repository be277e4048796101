#include "platform/preferences/Preferences.h"

Preferences::Preferences(QObject *parent) : QObject(parent) {}

Preferences::~Preferences() = default;
