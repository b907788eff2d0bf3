#pragma once
// The error code of the last failed platform call on this thread, as the Engine
// logs it ("...error code returned from StartService is: %d"). The numbers are the
// ones the program's log lines have always shown.
#include <cstdint>

namespace plat {

enum : uint32_t {
    kErrorSuccess = 0,
    kErrorFileNotFound = 2,
    kErrorAccessDenied = 5,
    kErrorInvalidHandle = 6,
    kErrorGenFailure = 31,
    kErrorInvalidParameter = 87,
    kErrorAlreadyExists = 183,
    kErrorFilenameExcedRange = 206,
    kErrorNotOwner = 288,
    kErrorTooManyPosts = 298,
    kErrorServiceAlreadyRunning = 1056,
    kErrorServiceDoesNotExist = 1060,
    kErrorServiceCannotAcceptControl = 1061,
    kErrorServiceNotActive = 1062,
    kErrorServiceMarkedForDelete = 1072,
    kErrorServiceExists = 1073,
};

uint32_t GetLastError();
void SetLastError(uint32_t code);

} // namespace plat
