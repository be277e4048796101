#include "platform/accessibility/AccessibilitySettings.h"

AccessibilitySettings::AccessibilitySettings(QObject *parent) : QObject(parent) {}

AccessibilitySettings::~AccessibilitySettings() = default;
