#include "Shell/MessageBox.h"

namespace msgbox {

namespace {
Hook& CurrentHook()
{
    static Hook hook;
    return hook;
}
}

void SetHook(Hook hook) { CurrentHook() = std::move(hook); }

QMessageBox::StandardButton Show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                                 QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    if (const Hook& hook = CurrentHook())
        return hook(icon, title, text, buttons);
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace msgbox
