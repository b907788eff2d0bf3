#pragma once
// The running executable.
#include <cstddef>

namespace plat {

// Full path of the process's executable as UTF-16 into buffer (capacity in
// characters, terminator included). False when it cannot be read or does not fit;
// the buffer then holds an empty text.
bool GetExecutablePath(char16_t* buffer, size_t capacity);

} // namespace plat
