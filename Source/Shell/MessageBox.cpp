#include "Shell/MessageBox.h"

#include <bit>

namespace msgbox {

namespace {
Hook& CurrentHook()
{
    static Hook hook;
    return hook;
}
// GUI thread only, as every box.
bool g_bStopped = false;
bool g_bLastAnswered = true;
}

void SetHook(Hook hook) { CurrentHook() = std::move(hook); }

QMessageBox::StandardButton EscapeAnswer(QMessageBox::StandardButtons buttons)
{
    for (const QMessageBox::StandardButton escape :
         {QMessageBox::No, QMessageBox::Cancel, QMessageBox::Abort, QMessageBox::Close})
        if (buttons.testFlag(escape))
            return escape;
    // A box with a single button (a notice) has nothing else to give.
    const auto offered = static_cast<unsigned>(buttons.toInt());
    return std::has_single_bit(offered) ? static_cast<QMessageBox::StandardButton>(offered) : QMessageBox::NoButton;
}

QMessageBox::StandardButton Show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                                 QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    if (g_bStopped) {
        // Nobody is there to answer any more.
    } else if (const Hook& hook = CurrentHook()) {
        answer = hook(icon, title, text, buttons);
    } else {
        QMessageBox box(icon, title, text, buttons, parent);
        box.setDefaultButton(defaultButton);
        // A loop ended from outside (an end signal) leaves the box with no button clicked.
        answer = static_cast<QMessageBox::StandardButton>(box.exec());
    }
    g_bLastAnswered = answer != QMessageBox::NoButton && buttons.testFlag(answer);
    return g_bLastAnswered ? answer : EscapeAnswer(buttons);
}

bool LastAnswered() { return g_bLastAnswered; }

void StopAsking() { g_bStopped = true; }

void ResumeAsking() { g_bStopped = false; }

} // namespace msgbox
