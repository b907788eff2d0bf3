#include "Shell/FileDialog.h"

#include <QFileDialog>

namespace filedialog {

namespace {
SaveHook& CurrentSaveHook()
{
    static SaveHook hook;
    return hook;
}
OpenHook& CurrentOpenHook()
{
    static OpenHook hook;
    return hook;
}
}

void SetSaveHook(SaveHook hook) { CurrentSaveHook() = std::move(hook); }

QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter)
{
    if (const SaveHook& hook = CurrentSaveHook())
        return hook(parent, caption, dir, filter);
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

void SetOpenHook(OpenHook hook) { CurrentOpenHook() = std::move(hook); }

QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter)
{
    if (const OpenHook& hook = CurrentOpenHook())
        return hook(parent, caption, dir, filter);
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

} // namespace filedialog
