// Start-up of Vyk Velocrest. For now it opens the log and the Engine on the
// simulated board and shows a plain window; the main window takes its place later.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QSysInfo>

#include "Engine/Engine.h"
#include "Engine/Log.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QDir::setCurrent(QString::fromStdU16String(g_GetApplicationPath()));
    g_Log.Init("QVX", 0xFFFF, CLog::LOG_OUTPUT_FILE, 10000);
    g_Log.Write(ltInfo, "Vyk Velocrest %s, built %s\n", VELOCREST_VERSION, __DATE__);
    g_Log.Write(ltInfo, "Operating system: %s\n", qPrintable(QSysInfo::prettyProductName()));
    if (!g_InitEngine()) {
        g_Log.UnInit();
        return 7;
    }
    QLabel window(QStringLiteral("Vyk Velocrest"));
    window.setWindowTitle(QStringLiteral(" Vyk Velocrest "));
    window.setAlignment(Qt::AlignCenter);
    window.resize(640, 480);
    window.show();
    const int code = app.exec();
    g_UnInitEngine();
    g_Log.UnInit();
    return code;
}
