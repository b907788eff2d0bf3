#include "SimulatedTools.h"
#include "Platform/Drives.h"

#include "VirtualBoard/DiskClass.h"
#include "VirtualBoard/Machine.h"
#include "VirtualBoard/Volumes.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace plat {

namespace {

constexpr uint32_t kDiskpartCommandFailed = 2;
constexpr uint32_t kDiskpartSyntaxError = 5;

void Record(const QString& line) { vb::Machine::Instance().GetJournal().Record(line.toStdString()); }

// One run of a script: what is selected, and the volume being made.
class DiskpartSession {
public:
    // False when the command failed or is not known.
    bool Execute(const QString& command, bool* known)
    {
        static const QRegularExpression selectDisk(QStringLiteral("^select disk (\\d+)$"));
        static const QRegularExpression selectVolume(QStringLiteral("^select volume=([a-z])$"));
        static const QRegularExpression assign(QStringLiteral("^assign letter=([a-z])$"));
        vb::Machine& machine = vb::Machine::Instance();
        auto& volumes = machine.Get<vb::Volumes>();
        *known = true;
        QRegularExpressionMatch m;
        if (command == QLatin1String("automount enable"))
            return true;
        if (command == QLatin1String("convert dynamic"))
            return m_nDisk >= 0;
        if ((m = selectDisk.match(command)).hasMatch()) {
            m_nDisk = machine.Get<vb::DiskClass>().HasDiskNumber(m.captured(1).toUInt()) ? m.captured(1).toInt() : -1;
            return m_nDisk >= 0;
        }
        if (command == QLatin1String("create volume simple"))
            return (m_bNewVolume = m_nDisk >= 0);
        if (command == QLatin1String("format quick fs=fat"))
            return m_bNewVolume;
        if ((m = assign.match(command)).hasMatch()) {
            const char16_t letter = m.captured(1).toUpper().at(0).unicode();
            if (!m_bNewVolume || !volumes.Assign(letter))
                return false;
            m_bNewVolume = false;
            Record(QStringLiteral("volume: %1 created on disk %2").arg(QChar(letter)).arg(m_nDisk));
            return true;
        }
        if ((m = selectVolume.match(command)).hasMatch()) {
            m_cVolume = m.captured(1).toUpper().at(0).unicode();
            const bool exists = !volumes.RootPath(m_cVolume).isEmpty();
            if (!exists)
                m_cVolume = 0;
            return exists;
        }
        if (command == QLatin1String("delete volume override") || command == QLatin1String("delete volume")) {
            if (!m_cVolume || !volumes.Remove(m_cVolume))
                return false;
            Record(QStringLiteral("volume: %1 deleted").arg(QChar(m_cVolume)));
            m_cVolume = 0;
            return true;
        }
        *known = false;
        return false;
    }

private:
    int m_nDisk = -1;
    bool m_bNewVolume = false;
    char16_t m_cVolume = 0;
};

} // namespace

uint32_t RunSimulatedDiskpart(const QString& script)
{
    DiskpartSession session;
    for (QString line : script.split(QLatin1Char('\n'))) {
        line = line.simplified().toLower();
        if (line.isEmpty())
            continue;
        if (line == QLatin1String("exit"))
            return 0;
        // "noerr" lets the script go on after the command fails.
        const bool noErr = line.endsWith(QLatin1String(" noerr"));
        if (noErr)
            line.chop(6);
        bool known = true;
        if (session.Execute(line, &known) || noErr)
            continue;
        return known ? kDiskpartCommandFailed : kDiskpartSyntaxError;
    }
    return 0;
}

uint32_t RunSimulatedAttrib(const QStringList& arguments)
{
    QString path;
    for (const QString& argument : arguments)
        if (!argument.startsWith(QLatin1Char('+')) && !argument.startsWith(QLatin1Char('-')))
            path = argument;
    const QString local = LocalPathOfDrivePath(path);
    return !local.isEmpty() && QFileInfo(local).isFile() ? 0 : 1;
}

} // namespace plat
