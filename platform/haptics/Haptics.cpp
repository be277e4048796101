#include "platform/haptics/Haptics.h"

Haptics::~Haptics() = default;
