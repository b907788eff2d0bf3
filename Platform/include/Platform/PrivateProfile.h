#pragma once
// Private profile files ("Corvane.ini": sections of key=value lines). A bare file
// name lives in the program's state folder (where the system would keep it in its
// own folder). Written through QSettings, which replaces the file atomically.
#include <QString>

namespace plat {

// Writes key=value in section; a null value removes the key. False when the file
// cannot be written.
bool WritePrivateProfileString(const char16_t* section, const char16_t* key, const char16_t* value,
                               const char16_t* fileName);
// Where a profile file of that name lives.
QString PrivateProfilePath(const char16_t* fileName);

} // namespace plat
