#pragma once
// What a plug-in library ("Widget/*R.so", "Device/*.so") must be before the loader
// maps it: the loader maps its segments straight from the file, so a file cut short
// kills the process (SIGBUS) the moment a missing page is touched.
#include <QString>

namespace plugin {

// True when path is a regular file holding a shared library of this machine's kind
// (class, byte order, machine) whose program headers and loadable segments all lie
// inside the file. Otherwise false, with why it is not (a short phrase) in why.
bool IsLoadableLibrary(const QString& path, QString* why);

// IsLoadableLibrary, and when it fails one log line naming the file and the reason.
bool CheckLibrary(const QString& path);

} // namespace plugin
