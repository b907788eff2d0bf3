#include "Engine/Engine.h"
#include "Engine/LogCheck.h"

#include "Platform/LastError.h"
#include "Platform/Module.h"

namespace {
char16_t g_szApplicationPath[260];
}

const char16_t* g_GetApplicationPath()
{
    if (g_szApplicationPath[0] == 0) {
        const bool bRetCode = plat::GetExecutablePath(g_szApplicationPath, std::size(g_szApplicationPath));
        if (!bRetCode) {
            // A cut path would name some other folder: give none at all, and remember
            // why when the path was too long, so the caller can say so.
            if (plat::GetLastError() == plat::kErrorFilenameExcedRange)
                g_SetLastError(plat::kErrorFilenameExcedRange);
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "bRetCode");
            g_szApplicationPath[0] = 0;
            return g_szApplicationPath;
        }
        size_t end = 0;
        for (size_t i = 0; g_szApplicationPath[i]; ++i)
            if (g_szApplicationPath[i] == u'/')
                end = i;
        g_szApplicationPath[end] = 0;
    }
    return g_szApplicationPath;
}
