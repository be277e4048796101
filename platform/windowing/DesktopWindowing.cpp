#include "platform/windowing/DesktopWindowing.h"

DesktopWindowing::~DesktopWindowing() = default;
