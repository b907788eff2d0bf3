#pragma once
// Opening a kernel driver's device and sending it control requests. The device
// "\\.\NAME" exists while the service NAME runs and its binary exists; requests
// go to the simulated machine's driver, synchronously.
#include <cstdint>

namespace plat {

using DeviceHandle = intptr_t;
constexpr DeviceHandle INVALID_HANDLE_VALUE = -1;

// INVALID_HANDLE_VALUE on failure (GetLastError: kErrorFileNotFound when absent).
DeviceHandle OpenDevice(const char16_t* name);
bool CloseDevice(DeviceHandle device);
// in and out may be the same buffer. False when the driver refuses the request.
bool DeviceIoControl(DeviceHandle device, uint32_t code, const void* in, uint32_t inLength, void* out,
                     uint32_t outLength, uint32_t* bytesReturned);

} // namespace plat
