#pragma once
// The socket layer's classes share the program-wide root class, so that a socket and a
// window can be the sender of the same kind of event.
#include "platform/Object.h"
