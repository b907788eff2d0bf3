#pragma once
// Small start-up rules: the registry switch that disables the program, the
// version lines of the log and the choice of the skin.
#include <QString>

// False when HKLM "Software\Vyk\Vyk Velocrest" holds a DisableQVX whose lowest byte is set.
bool IsQVXEnabled();
// "Version: ..." and "Operating system version : a - b - c" (the kernel's numbers).
void LogVersion();
// The preference's skin when it names one safely; else "skin-black" on a board with
// the MX350 south bridge and the clock-calibration CMOS item, "skin-red" otherwise.
QString ChooseSkin(const char* pszSkinScheme, bool bMx350SouthBridge, bool bHasCalibrationItem);
