#include "VirtualBoard/Machine.h"
#include "BoardLimits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>

#include <cmath>

namespace vb {

static const char* const kBuiltInBoard = ":/boards/default.json";

Machine& Machine::Instance()
{
    static Machine machine;
    return machine;
}

Machine::Machine() { LoadDefault(); }

void Machine::LoadDefault()
{
    const QString path = qEnvironmentVariable("VELOCREST_BOARD");
    QString error;
    if (!path.isEmpty()) {
        if (LoadFile(path, &error))
            return;
    }
    const QString fileError = error;
    if (!LoadFile(QString::fromLatin1(kBuiltInBoard), &error))
        qFatal("VirtualBoard: the built-in board is unreadable: %s", qPrintable(error));
    if (!path.isEmpty()) {
        // Not through Report(): this may run while Instance() is still being built.
        const QByteArray line = QStringLiteral("VirtualBoard: cannot load board file %1 (%2), using the built-in board")
                                    .arg(path, fileError).toLocal8Bit();
        m_journal.Record("report: " + line.toStdString());
        if (ReportSink sink = GetReportSink())
            sink(rtError, line.constData());
    }
}

bool Machine::LoadFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return LoadJson(file.readAll(), error, path);
}

bool Machine::LoadJson(const QByteArray& json, QString* error, const QString& sourcePath)
{
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (doc.isNull() || !doc.isObject()) {
        if (error)
            *error = doc.isNull() ? parseError.errorString() : QStringLiteral("not a JSON object");
        return false;
    }
    const QString dir = sourcePath.startsWith(QLatin1Char(':')) ? QStringLiteral(":/boards")
                        : sourcePath.isEmpty()                    ? QString()
                                                                  : QFileInfo(sourcePath).absolutePath();
    if (!CheckBoardLimits(doc.object(), dir, error))
        return false;
    Adopt(doc.object(), dir);
    return true;
}

void Machine::Adopt(const QJsonObject& board, const QString& dir)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_components.clear();
    m_board = board;
    m_boardDir = dir;
    m_faults.Clear();
    for (const QJsonValue& f : board.value(QStringLiteral("faults")).toArray())
        m_faults.Set(f.toString().toStdString());
    m_journal.Clear();
}

QString Machine::StateDir()
{
    const QString dir = qEnvironmentVariable("VELOCREST_STATE_DIR");
    if (!dir.isEmpty())
        return dir;
    return QDir::homePath() + QStringLiteral("/.local/state/VykVelocrest");
}

QString Machine::CmosStateFile() { return StateDir() + QStringLiteral("/cmos.json"); }

uint64_t ToU64(const QJsonValue& value, uint64_t fallback)
{
    if (value.isDouble()) {
        // A board file has no such numbers where these are read (they are refused as
        // it loads); one made otherwise is no number here rather than a conversion
        // whose result is undefined.
        const double number = value.toDouble();
        const bool whole = number >= 0 && number < 18446744073709551616.0 && number == std::trunc(number);
        return whole ? static_cast<uint64_t>(number) : fallback;
    }
    if (value.isString()) {
        bool ok = false;
        const uint64_t v = value.toString().toULongLong(&ok, 0);
        return ok ? v : fallback;
    }
    if (value.isBool())
        return value.toBool() ? 1 : 0;
    return fallback;
}

} // namespace vb
