#pragma once
// The plug-in libraries ("Widget/*R.so", "Device/*.so"): what a search finds, what
// a file must be before the loader maps it (the loader maps its segments straight
// from the file, so a file cut short kills the process (SIGBUS) the moment a missing
// page is touched), and the log line that names a plug-in that is not loaded.
#include <QDir>
#include <QLibrary>
#include <QString>
#include <QStringList>

namespace plugin {

// What a plug-in search of folder finds for pattern ("*R.so"), sorted as asked:
// files, and folders and other entries so named too, so that each one that is no
// library is refused with its line rather than passed over in silence.
QStringList Entries(const QString& folder, const QString& pattern, QDir::SortFlags sort);

// True when path is a regular file holding a shared library of this machine's kind
// (class, byte order, machine) whose program headers and loadable segments all lie
// inside the file. Otherwise false, with why it is not (a short phrase) in why.
bool IsLoadableLibrary(const QString& path, QString* why);

// IsLoadableLibrary, and when it fails one log line naming the file and the reason.
bool CheckLibrary(const QString& path);

// The log line of a plug-in that is not loaded: "Plug-in <path> is not loaded: <why>."
void Refuse(const QString& path, const QString& why);

// The entry point name of the loaded library, or null after Refuse naming the file
// and the missing entry point.
QFunctionPointer Resolve(QLibrary& library, const QString& path, const char* name);

} // namespace plugin
