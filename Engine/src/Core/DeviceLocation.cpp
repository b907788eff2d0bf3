#include "Engine/Engine.h"
#include "Engine/LogCheck.h"

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

} // namespace

bool g_GetDeviceLocation(const char16_t* pszLocation, uint32_t& bus, uint32_t& device, uint32_t& function)
{
    LOG_PROCESS_ERROR(pszLocation);
    bus = device = function = 0;
    uint32_t* const outputs[] = {&bus, &device, &function};
    size_t i = 0;
    for (uint32_t* out : outputs) {
        while (pszLocation[i] && !IsDigit(pszLocation[i]))
            ++i;
        LOG_PROCESS_ERROR(pszLocation[i]);
        uint32_t value = 0;
        while (IsDigit(pszLocation[i]))
            value = value * 10 + static_cast<uint32_t>(pszLocation[i++] - u'0');
        *out = value;
    }
    return true;
}
