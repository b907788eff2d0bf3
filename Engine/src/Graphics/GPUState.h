#pragma once
// The chip state the graphics clock tool shares across its files: the register and
// frame-buffer bases of the chip found, and its register access.
#include <cstdint>

#include "Engine/GPUTool.h"

extern BASEADDRTYPE RegisterBaseAddress;
extern BASEADDRTYPE FrameBufferBaseAddress;

void GpuSetBases(const BASEADDRTYPE& registers, const BASEADDRTYPE& frameBuffer);
uint32_t GpuReadRegister(uint32_t uRegister);
void GpuWriteRegister(uint32_t uRegister, uint32_t uValue);
