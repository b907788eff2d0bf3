// One line per built-in page, in creation order: its class, how to make it, and
// the name it gives itself.
#include "Pages/BuiltInPages.h"

#include "Diagram/SysDiagram.h"
#include "PerformanceControl/AdvancedMode.h"
#include "PerformanceControl/DDR2MC.h"
#include "PerformanceControl/DDRMC.h"
#include "PerformanceControl/FanControl.h"
#include "PerformanceControl/NoviceMode.h"
#include "PerformanceControl/PState.h"
#include "Preferences/DeviceList.h"
#include "Preferences/InactivePages.h"
#include "Preferences/Plugins.h"
#include "Preferences/SettingsPage.h"
#include "StatusMonitor/GPUStatus.h"
#include "StatusMonitor/Status.h"
#include "StatusMonitor/VoltageStatus.h"
#include "SystemInfo/BasicInfo.h"
#include "SystemInfo/DevelopingPages.h"
#include "SystemInfo/SystemInfo.h"
#include "Testing/AutoTune.h"
#include "Testing/PerformanceTest.h"
#include "Testing/StabilityTest.h"

namespace {

const std::vector<BuiltInPage> kProgramPages = {
    {"QBasicInfo", [] { return static_cast<IQVXWidget*>(new QBasicInfo); }, "Basic"},
    {"QSystemInfo", [] { return static_cast<IQVXWidget*>(new QSystemInfo); }, "Detailed"},
    {"QPartners", [] { return static_cast<IQVXWidget*>(new QPartners); }, "Partners"},
    {"QStatus", [] { return static_cast<IQVXWidget*>(new QStatus); }, "CPU Status"},
    {"QGPUStatus", [] { return static_cast<IQVXWidget*>(new QGPUStatus); }, "GPU Status"},
    {"QVoltageStatus", [] { return static_cast<IQVXWidget*>(new QVoltageStatus); }, "Board Status"},
    {"QSysDiagram", [] { return static_cast<IQVXWidget*>(new QSysDiagram); }, "Diagram"},
    {"QBasicMode", [] { return static_cast<IQVXWidget*>(new QBasicMode); }, "Novice Mode"},
    {"QAdvancedMode", [] { return static_cast<IQVXWidget*>(new QAdvancedMode); }, "Clock/Voltage"},
    {"QDDRMC", [] { return static_cast<IQVXWidget*>(new QDDRMC); }, "Memory", QDDRMC::SuitsBoard},
    {"QDDR2MC", [] { return static_cast<IQVXWidget*>(new QDDR2MC); }, "Memory", QDDR2MC::SuitsBoard},
    {"QJYPState", [] { return static_cast<IQVXWidget*>(new QJYPState); }, "JY Pstate"},
    {"QFanControl", [] { return static_cast<IQVXWidget*>(new QFanControl); }, "Fan Control"},
    {"QPerformanceTest", [] { return static_cast<IQVXWidget*>(new QPerformanceTest); }, "Benchmark"},
    {"QStabilityTest", [] { return static_cast<IQVXWidget*>(new QStabilityTest); }, "Stability Test"},
    {"QAutoTune", [] { return static_cast<IQVXWidget*>(new QAutoTune); }, "Auto Clock"},
    {"QAudio", [] { return static_cast<IQVXWidget*>(new QAudio); }, "Audio"},
    {"QStorage", [] { return static_cast<IQVXWidget*>(new QStorage); }, "Storage"},
    {"QUSB", [] { return static_cast<IQVXWidget*>(new QUSB); }, "USB"},
    {"QSettings", [] { return static_cast<IQVXWidget*>(new QSettingsPage); }, "Settings"},
    {"QPlugins", [] { return static_cast<IQVXWidget*>(new QPlugins); }, "Page List"},
    {"QDebugger", [] { return static_cast<IQVXWidget*>(new QDebugger); }, "Debugger"},
    {"QDeviceList", [] { return static_cast<IQVXWidget*>(new QDeviceList); }, "Device List"},
};

} // namespace

const std::vector<BuiltInPage>& BuiltInPages() { return kProgramPages; }
