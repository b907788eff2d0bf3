#pragma once
// The shared temp folder as another local user can leave it before this user's first
// start: he made the program's per-user folder name first, as a link to a folder of
// his, as his own folder, or as a folder open to all, and put in it a link where the
// service table goes (pointing at a file of this user), a junk lock file and a
// listening socket. Lives under the test's folder; while it lives, the program's
// runtime folder is looked for in it (TMPDIR set, the variables that would choose
// another folder cleared, HOME in the test's folder).
#include <QByteArray>
#include <QString>

#include <map>

namespace test {

class OtherUsersTemp {
public:
    enum Trap { LinkToHisFolder, HisFolder, FolderOpenToAll };
    // Whether this process can make a folder that belongs to another user (root only).
    static bool CanPlayAnotherUser();

    explicit OtherUsersTemp(Trap trap);
    ~OtherUsersTemp();
    OtherUsersTemp(const OtherUsersTemp&) = delete;
    OtherUsersTemp& operator=(const OtherUsersTemp&) = delete;

    QString TempFolder() const { return m_temp; }
    // "<temp>/VykVelocrest-<uid>", the name the other user took.
    QString TakenName() const;
    // The file of this user the planted link points at; it must keep its content.
    QString VictimFile() const { return m_victim; }
    static QByteArray VictimContent() { return "this user's own file\n"; }
    // Whether anything in the other user's folder was changed.
    bool HisFolderUntouched() const;

private:
    QString m_temp;
    QString m_his;
    QString m_victim;
    std::map<QByteArray, QByteArray> m_savedEnv;
    int m_socketFd = -1;
    QByteArray m_listing;
};

} // namespace test
