#include "Platform/Drives.h"

#include "VirtualBoard/Machine.h"
#include "VirtualBoard/Volumes.h"

#include <QStringList>

namespace plat {

uint32_t GetLogicalDrives() { return vb::Machine::Instance().Get<vb::Volumes>().LetterMask(); }

QString LocalPathOfDrivePath(const QString& drivePath)
{
    if (drivePath.size() < 3 || drivePath.at(1) != QLatin1Char(':')
        || (drivePath.at(2) != QLatin1Char('\\') && drivePath.at(2) != QLatin1Char('/')))
        return {};
    const char16_t letter = drivePath.at(0).toUpper().unicode();
    QString rest = drivePath.mid(3);
    rest.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = rest.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.contains(QStringLiteral("..")))
        return {};
    const QString root = vb::Machine::Instance().Get<vb::Volumes>().RootPath(letter);
    if (root.isEmpty())
        return {};
    return parts.isEmpty() ? root : root + QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

} // namespace plat
