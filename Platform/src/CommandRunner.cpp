#include "Platform/CommandRunner.h"
#include "Platform/Service.h"
#include "SimulatedTools.h"

#include "VirtualBoard/Machine.h"

#include <QDir>
#include <QFile>

namespace plat {

namespace {

constexpr uint32_t kNotRecognised = 9009;
constexpr uint32_t kDiskpartScriptUnreadable = 3;

void Record(const QString& line) { vb::Machine::Instance().GetJournal().Record(line.toStdString()); }

uint32_t RunDiskpart(const QStringList& arguments, const QString& workingDir)
{
    if (arguments.size() != 2 || arguments.at(0).compare(QLatin1String("/s"), Qt::CaseInsensitive) != 0)
        return kDiskpartScriptUnreadable;
    QFile file(QDir(workingDir).filePath(arguments.at(1)));
    if (!file.open(QIODevice::ReadOnly))
        return kDiskpartScriptUnreadable;
    const QString script = QString::fromUtf8(file.readAll());
    Record(QStringLiteral("command script: ") + script);
    return RunSimulatedDiskpart(script);
}

class SimulatedCommandRunner final : public ICommandRunner {
public:
    bool Run(const QString& commandLine, const QString& workingDir, uint32_t* exitCode) override
    {
        Record(QStringLiteral("command: ") + commandLine);
        if (vb::Machine::Instance().GetFaults().IsSet("command-start-fails"))
            return false;
        QStringList words = commandLine.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const QString program = words.isEmpty() ? QString() : words.takeFirst().toLower();
        uint32_t code = kNotRecognised;
        if (program == QLatin1String("diskpart"))
            code = RunDiskpart(words, workingDir);
        else if (program == QLatin1String("attrib"))
            code = RunSimulatedAttrib(words);
        if (exitCode)
            *exitCode = code;
        return true;
    }
};

SimulatedCommandRunner g_simulated;
Service<ICommandRunner> g_service(g_simulated);

} // namespace

ICommandRunner& CommandRunner() { return g_service.Get(); }
void SetCommandRunner(ICommandRunner* runner) { g_service.Set(runner); }

} // namespace plat
