#include "Platform/Launcher.h"
#include "Platform/Service.h"

#include "VirtualBoard/Machine.h"

#include <QFileInfo>

namespace plat {

namespace {

class SimulatedLauncher final : public ILauncher {
public:
    intptr_t ShellExecute(const QString& verb, const QString& file, const QString& parameters, const QString&,
                          int) override
    {
        vb::Machine& machine = vb::Machine::Instance();
        machine.GetJournal().Record(
            QStringLiteral("launch: %1|%2|%3").arg(verb, file, parameters).toStdString());
        if (machine.GetFaults().IsSet("launch-fails"))
            return SE_ERR_ACCESSDENIED;
        QString path = file;
        path.replace(QLatin1Char('\\'), QLatin1Char('/'));
        return QFileInfo(path).isFile() ? kLaunchSucceeded : SE_ERR_FNF;
    }
};

SimulatedLauncher g_simulated;
Service<ILauncher> g_service(g_simulated);

} // namespace

ILauncher& Launcher() { return g_service.Get(); }
void SetLauncher(ILauncher* launcher) { g_service.Set(launcher); }

} // namespace plat
