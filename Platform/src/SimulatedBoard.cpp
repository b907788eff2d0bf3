#include "Platform/SimulatedBoard.h"

#include <QFile>
#include <QFileInfo>

#include "VirtualBoard/Machine.h"

namespace plat {

bool SelectSimulatedBoard(QString* error)
{
    const QString named = qEnvironmentVariable("VELOCREST_BOARD");
    if (named.isEmpty())
        return true;
    const QString path = QFileInfo(named).absoluteFilePath();
    qputenv("VELOCREST_BOARD", QFile::encodeName(path));
    QString reason;
    if (vb::Machine::Instance().LoadFile(path, &reason))
        return true;
    if (error)
        *error = QStringLiteral("cannot load the board file %1: %2").arg(path, reason);
    return false;
}

} // namespace plat
