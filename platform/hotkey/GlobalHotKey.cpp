#include "platform/hotkey/GlobalHotKey.h"

GlobalHotKey::~GlobalHotKey() = default;
