#pragma once
// What kind of system the program runs on.
namespace plat {

// The NT family of the platform the program was written for; this one always is.
bool IsNtPlatform();
// Whether the system is 64-bit (the driver comes from the "vyk64" folder then).
// False when it cannot be told (fault "os-bitness-unknown").
bool Is64BitSystem(bool* is64);

} // namespace plat
