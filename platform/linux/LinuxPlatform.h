#pragma once

#include "platform/Platform.h"

// The services of a Linux desktop session (X11, or XWayland on a Wayland session).
Platform::Services makeLinuxServices();
