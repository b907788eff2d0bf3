#include "Shell/MessageBox.h"

#include <algorithm>

namespace msgbox {

namespace {
Hook& CurrentHook()
{
    static Hook hook;
    return hook;
}
}

void SetHook(Hook hook) { CurrentHook() = std::move(hook); }

namespace {
// Process-level tests start the program as another process, where no hook can be
// installed: $VELOCREST_MESSAGEBOX_ANSWERS ("Ok,Cancel") answers its boxes in
// turn, the last answer repeating. Unset, the real dialog shows.
QMessageBox::StandardButton EnvironmentAnswer()
{
    static const QStringList answers =
        qEnvironmentVariable("VELOCREST_MESSAGEBOX_ANSWERS").split(QLatin1Char(','), Qt::SkipEmptyParts);
    static int next = 0;
    if (answers.isEmpty())
        return QMessageBox::NoButton;
    const QString answer = answers.at(std::min<int>(next++, answers.size() - 1)).trimmed();
    return answer.compare(QLatin1String("Cancel"), Qt::CaseInsensitive) == 0 ? QMessageBox::Cancel : QMessageBox::Ok;
}
} // namespace

QMessageBox::StandardButton Show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                                 QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    if (const Hook& hook = CurrentHook())
        return hook(icon, title, text, buttons);
    if (const auto answer = EnvironmentAnswer(); answer != QMessageBox::NoButton)
        return answer;
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace msgbox
