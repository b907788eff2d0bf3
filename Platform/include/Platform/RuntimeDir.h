#pragma once
// The folder for state that every process of this user shares while it runs (the
// service table, named semaphores and mutexes, the single-instance lock):
// $VELOCREST_RUNTIME_DIR, else "run" inside $VELOCREST_STATE_DIR (so each test is
// isolated), else $XDG_RUNTIME_DIR/VykVelocrest, else a per-user folder under the
// temp folder.
//
// The folder is used only when it is a real directory (no link), owned by this
// user and closed to everyone else; a missing one is created so. The temp folder is
// shared with other users, who may have made that name first: then the process gets
// a fresh private folder of its own instead.
#include <QString>

namespace plat {

// The folder, or an empty string when there is none this user can trust (error, when
// given, then says why).
QString RuntimeDir(QString* error = nullptr);

// The per-user folder inside a temp folder shared by all users: "VykVelocrest-<uid>"
// when that is ours or can be made so, else a fresh "VykVelocrest-<uid>-XXXXXX" (the
// same one for the rest of the process). Empty, with the reason, when neither works
// or when the fresh folder was removed by RemoveFreshFolders.
QString UserFolderIn(const QString& tempFolder, QString* error = nullptr);

// Qt keeps a private runtime folder of its own, $XDG_RUNTIME_DIR; without one (a
// shell outside a login session) it makes "runtime-<user>" in the temp folder and
// leaves it there. This points XDG_RUNTIME_DIR at the folder "qt" inside this
// program's runtime folder instead (RuntimeDir does not follow that value). Called
// before the application object is made; does nothing when XDG_RUNTIME_DIR is set.
void GiveQtARuntimeFolder();

// Removes, with what they hold, the fresh folders UserFolderIn made for this process:
// nobody else ever uses them. The program calls it last in its shutdown; whatever
// still asks for such a folder afterwards gets none, and no new one is made.
void RemoveFreshFolders();

// Whether path is a real directory owned by this user that nobody else can enter;
// a folder of ours that merely lacks owner rights gets them. Else false with the reason.
bool IsPrivateFolder(const QString& path, QString* error = nullptr);

// The last failure on this thread to use this user's runtime or state folder, or a
// file in them, as a clause such as "cannot write /x/services.json: Is a directory";
// empty when there was none since ClearPrivateFolderError().
QString PrivateFolderError();
void ClearPrivateFolderError();

} // namespace plat
