#pragma once
// The chip state the graphics clock tool shares across its files: the register and
// frame-buffer bases of the chip found.
#include <cstdint>

#include "Engine/GPUTool.h"

extern BASEADDRTYPE RegisterBaseAddress;
extern BASEADDRTYPE FrameBufferBaseAddress;

void GpuSetBases(const BASEADDRTYPE& registers, const BASEADDRTYPE& frameBuffer);
