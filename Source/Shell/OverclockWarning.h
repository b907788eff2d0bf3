#pragma once
// The overclocking warning, asked at start and before an Apply of changed values.
#include <QString>

QString ProductTitle();          // "Vyk Velocrest", the title of every message box
QString OverclockWarningText();

// Shows the warning with Ok and Cancel; true when the user pressed Ok.
bool AskOverclockWarning();
