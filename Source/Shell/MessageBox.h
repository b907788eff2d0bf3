#pragma once
// Every message box of the program goes through here, so a test can answer it.
//
// A box closed without an answer (an end signal ended every event loop, the screen
// went away, or the program was already ending when the box was due) gives its
// caller the box's escape answer: No, else Cancel (see EscapeAnswer). A caller that
// acts only on its confirming answer (Yes, Ok) therefore never acts unconfirmed.
#include <QMessageBox>

#include <functional>

namespace msgbox {

using Hook = std::function<QMessageBox::StandardButton(QMessageBox::Icon icon, const QString& title,
                                                       const QString& text, QMessageBox::StandardButtons buttons)>;

// Replaces the real dialog; an empty hook brings it back. A hook that returns
// NoButton, or a button the box does not offer, closes the box without an answer.
void SetHook(Hook hook);

QMessageBox::StandardButton Show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                                 QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                 QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// The answer of a box with these buttons that was closed without one: No, else
// Cancel, Abort or Close, else the only button offered; NoButton when none fits.
QMessageBox::StandardButton EscapeAnswer(QMessageBox::StandardButtons buttons);

// Whether the user answered the last box shown (false: it was closed without an answer).
bool LastAnswered();

// The program is ending: from now on every box is closed without an answer, unseen.
// The box open now, if any, ends with its event loop (the caller ends that loop).
void StopAsking();
// Boxes are shown again (a new run of the program in the same process).
void ResumeAsking();

} // namespace msgbox
