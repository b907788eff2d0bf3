#include "Platform/Module.h"
#include "Platform/LastError.h"

#include <QString>
#include <climits>
#include <mutex>
#include <string>
#include <unistd.h>

namespace plat {

namespace {
std::mutex g_mutex;
std::u16string g_override;

bool TooLong()
{
    SetLastError(kErrorFilenameExcedRange);
    return false;
}
}

void SetExecutablePathForTesting(const char16_t* path)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_override = path ? path : u"";
}

bool GetExecutablePath(char16_t* buffer, size_t capacity)
{
    if (!buffer || capacity == 0)
        return false;
    buffer[0] = 0;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (!g_override.empty()) {
            if (g_override.size() + 1 > capacity)
                return TooLong();
            std::copy(g_override.begin(), g_override.end(), buffer);
            buffer[g_override.size()] = 0;
            return true;
        }
    }
    char path[PATH_MAX];
    // readlink never terminates and silently cuts: a full buffer may be a cut path.
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof path)
        return false;
    const QString text = QString::fromLocal8Bit(path, static_cast<qsizetype>(n));
    if (static_cast<size_t>(text.size()) + 1 > capacity)
        return TooLong();
    std::copy_n(reinterpret_cast<const char16_t*>(text.utf16()), text.size(), buffer);
    buffer[text.size()] = 0;
    return true;
}

} // namespace plat
