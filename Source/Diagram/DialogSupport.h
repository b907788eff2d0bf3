#pragma once
// What the device dialogs of the board diagram share: device texts turned into
// QStrings without trusting them, the look of a value cell, and their error line.
#include <QString>

#include <cstddef>
#include <initializer_list>

#include "Shell/RecordText.h"

class QLabel;
class QWidget;

// The style sheet of every value cell: a thin blue-grey border.
extern const char kValueLabelStyle[];

using text::DeviceText;
using text::KnownText;
using text::RecordText;

// Gives value cells their border; their what's-this help comes from the form.
void StyleValueLabels(std::initializer_list<QLabel*> labels);
// The same for every framed label of a dialog's form (its value cells).
void StyleValueCells(QWidget* pDialog);

// Shows a text of the device in a value cell whole: the cell grows (never shrinks)
// until the text fits inside its border with a little room on each side.
void SetWholeText(QLabel* pCell, const QString& text);

// Translates a shared form's window title, captions and what's-this help (left
// untranslated by the form) in the context of the dialog that uses it.
void TranslateForm(QWidget* pDialog, const char* pszContext);

// A flag as a dialog shows it, translated in the dialog's own context:
// "Enabled"/"Disabled" unless the dialog names its words.
QString FlagText(const char* pszContext, bool bOn, const char* pszOn = "Enabled", const char* pszOff = "Disabled");

// "LOG_PROCESS_ERROR(expr) at line n in Method" for a dialog family whose shared
// code stands in for several classes: the method named is the dialog's own.
void LogDialogError(const char* pszExpr, int nLine, const char* pszMethod);
