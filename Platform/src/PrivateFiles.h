#pragma once
// Files in this user's private folders (the runtime and state folders): never opened
// through a link, created owner-only whatever the umask, and written whole.
#include <QByteArray>
#include <QString>

namespace plat {

// Keeps the reason for PrivateFolderError().
void NotePrivateFolderError(const QString& text);

// Makes path and its missing parents as owner-only folders (an existing folder of this
// user is closed to others); true when path is then a private folder
// (IsPrivateFolder), else false with the reason.
bool MakePrivateFolders(const QString& path, QString* error = nullptr);

// Opens (creating it 0600 when missing) a regular file of this user for reading and
// writing, without following a link; -1 with errno set otherwise.
int OpenPrivateFile(const QString& path);

// The whole file; false when it is missing, a link or unreadable.
bool ReadPrivateFile(const QString& path, QByteArray* bytes);

// Writes a temporary owner-only file beside path and renames it over path, which
// replaces a link there instead of writing through it. For state that lives only as
// long as the processes sharing it (the runtime folder): the rename keeps readers
// from ever seeing half a file, and nothing is forced to the disk, since nothing
// of it matters after a crash or a reboot.
bool WritePrivateFile(const QString& path, const QByteArray& bytes);

} // namespace plat
