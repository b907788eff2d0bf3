#pragma once
// Files are saved through a temporary beside them, "<file>.XXXXXX" (six letters or
// digits), that is renamed over the file once it is whole; a process killed in
// between leaves the temporary behind. These remove such leftovers at start: only
// regular files of this user named as a given file's temporary, never a link, a
// folder or any other name.
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace plat {

// Whether entry is the name of a temporary of the file called name.
bool IsTemporaryOf(const QString& entry, const QString& name);

// Removes the temporaries of the given files (paths) that were last written before
// `before`: a save still running in another process writes its temporary later.
// Returns how many were removed.
int RemoveStaleTemporaries(const QStringList& files, const QDateTime& before);

// The same for the stand-ins' own files: the registry hives, the simulated board's
// CMOS values, and the state the user's processes share in the runtime folder (the
// service table, named semaphores and mutexes). A shared state file's temporaries go
// only while no process holds that file's lock, which every writer holds while it saves.
int RemoveStandInTemporaries(const QDateTime& before);

} // namespace plat
