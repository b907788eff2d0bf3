#include "Shell/RevisionCode.h"

#include "Engine/Engine.h"

bool IsFamily11hRevision(const QString& revision)
{
    static const QString code = QString::fromUtf16(g_GetCPURevision(0x00200F31)).left(2);
    return revision.left(2) == code;
}
