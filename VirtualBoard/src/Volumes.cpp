#include "VirtualBoard/Volumes.h"

#include <QDir>

namespace vb {

Volumes::Volumes(Machine& machine)
{
    const QString letters = machine.Section(QStringLiteral("volumes")).value(QStringLiteral("letters")).toString();
    for (const QChar c : letters)
        if (IsDriveLetter(c.toUpper().unicode()))
            m_mask |= 1u << (c.toUpper().unicode() - u'A');
}

uint32_t Volumes::LetterMask() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mask;
}

QString Volumes::FolderOf(char16_t letter)
{
    return Machine::StateDir() + QStringLiteral("/volumes/") + QChar(letter);
}

bool Volumes::Assign(char16_t letter)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!IsDriveLetter(letter) || (m_mask & (1u << (letter - u'A'))))
        return false;
    // A new volume is empty, whatever an earlier one under this letter held.
    QDir(FolderOf(letter)).removeRecursively();
    if (!QDir().mkpath(FolderOf(letter)))
        return false;
    m_mask |= 1u << (letter - u'A');
    return true;
}

bool Volumes::Remove(char16_t letter)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!IsDriveLetter(letter) || !(m_mask & (1u << (letter - u'A'))))
        return false;
    m_mask &= ~(1u << (letter - u'A'));
    QDir(FolderOf(letter)).removeRecursively();
    return true;
}

QString Volumes::RootPath(char16_t letter) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!IsDriveLetter(letter) || !(m_mask & (1u << (letter - u'A'))))
        return {};
    const QString folder = FolderOf(letter);
    QDir().mkpath(folder);
    return folder;
}

} // namespace vb
