#pragma once
// What every control of a kind has in the program's windows. A layout row's own settings are
// applied over these, so a row states only what is its own.

#include "ui/Layout.h"

const TSettings& Convention(TControlKind kind);
