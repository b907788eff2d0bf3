#include "Dialogs/DialogManager.h"

#include "Engine/LogCheck.h"

bool CDialogManager::Refresh()
{
    LOG_PROCESS_ERROR(m_bInit);
    return true;
}
