#pragma once
// Every file dialog of the program goes through here, so a test can choose the file.
#include <QString>

#include <functional>

class QWidget;

namespace filedialog {

// Answers a save dialog with a path; empty means the user cancelled.
using SaveHook = std::function<QString(QWidget* parent, const QString& caption, const QString& dir,
                                       const QString& filter)>;

// Replaces the real dialog; an empty hook brings it back.
void SetSaveHook(SaveHook hook);

// The standard save dialog; empty when the user cancelled.
QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter);

// Answers an open dialog the same way.
using OpenHook = SaveHook;
void SetOpenHook(OpenHook hook);
// The standard open dialog; empty when the user cancelled.
QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter);

} // namespace filedialog
