#pragma once
// The running executable.
#include <cstddef>

namespace plat {

// Full path of the process's executable as UTF-16 into buffer (capacity in
// characters, terminator included). False when it cannot be read or does not fit
// (GetLastError() kErrorFilenameExcedRange); the buffer then holds an empty text.
bool GetExecutablePath(char16_t* buffer, size_t capacity);

// Tests: answer with this path instead of the real one (null: the real one again).
void SetExecutablePathForTesting(const char16_t* path);

} // namespace plat
