// The shell's global objects, all in this one file: C++ builds the objects of one
// file in the order they are written and destroys them in reverse, while the
// order across files is unspecified. None of their destructors calls into a page
// or another Qt object: they run after main, when Qt may be gone.
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
