#pragma once
// The socket layer's events carry the same sender type as the window layer's, so one
// handler type fits both; the class itself lives in the platform layer below them.

#include "platform/Object.h"
