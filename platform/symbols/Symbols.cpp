#include "platform/symbols/Symbols.h"

Symbols::~Symbols() = default;
