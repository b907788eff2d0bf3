// The shell's global objects, all in this one file: C++ builds the objects of one
// file in the order they are written and destroys them in reverse, while the
// order across files is unspecified. The widget manager's destructor runs its
// UnInit once more, so it must go before the stores it reads and before the
// dialog manager, which the Diagram page's UnInit calls.
#include "Diagram/DialogManager.h"
#include "Settings/MiscSettings.h"
#include "Settings/PageSettings.h"
#include "Settings/SkinManager.h"
#include "Shell/WidgetManager.h"

CMiscSettings g_MiscSettings;
CPageSettings g_PageSettings;
CSkinManager g_SkinManager;
CDialogManager g_DialogManager;
CWidgetManager g_WidgetManager;
