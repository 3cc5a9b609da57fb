// What the kernel calls back: its output, its errors and the interrupt query.
#pragma once

#include "MapleKernel.h"

// The vector handed to StartMaple: text, error and interrupt entries, the others empty.
const MapleCallbackVector* KernelCallbacks();
