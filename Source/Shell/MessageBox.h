#pragma once
// Every message box of the program goes through here, so a test can answer it.
#include <QMessageBox>

#include <functional>

namespace msgbox {

using Hook = std::function<QMessageBox::StandardButton(QMessageBox::Icon icon, const QString& title,
                                                       const QString& text, QMessageBox::StandardButtons buttons)>;

// Replaces the real dialog; an empty hook brings it back.
void SetHook(Hook hook);

QMessageBox::StandardButton Show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                 QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

} // namespace msgbox
