// One line per built-in page, in creation order.
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
    {"QBasicInfo", [] { return static_cast<IQVXWidget*>(new QBasicInfo); }},
    {"QSystemInfo", [] { return static_cast<IQVXWidget*>(new QSystemInfo); }},
    {"QPartners", [] { return static_cast<IQVXWidget*>(new QPartners); }},
    {"QStatus", [] { return static_cast<IQVXWidget*>(new QStatus); }},
    {"QGPUStatus", [] { return static_cast<IQVXWidget*>(new QGPUStatus); }},
    {"QVoltageStatus", [] { return static_cast<IQVXWidget*>(new QVoltageStatus); }},
    {"QSysDiagram", [] { return static_cast<IQVXWidget*>(new QSysDiagram); }},
    {"QBasicMode", [] { return static_cast<IQVXWidget*>(new QBasicMode); }},
    {"QAdvancedMode", [] { return static_cast<IQVXWidget*>(new QAdvancedMode); }},
    {"QDDRMC", [] { return static_cast<IQVXWidget*>(new QDDRMC); }},
    {"QDDR2MC", [] { return static_cast<IQVXWidget*>(new QDDR2MC); }},
    {"QJYPState", [] { return static_cast<IQVXWidget*>(new QJYPState); }},
    {"QFanControl", [] { return static_cast<IQVXWidget*>(new QFanControl); }},
    {"QPerformanceTest", [] { return static_cast<IQVXWidget*>(new QPerformanceTest); }},
    {"QStabilityTest", [] { return static_cast<IQVXWidget*>(new QStabilityTest); }},
    {"QAutoTune", [] { return static_cast<IQVXWidget*>(new QAutoTune); }},
    {"QAudio", [] { return static_cast<IQVXWidget*>(new QAudio); }},
    {"QStorage", [] { return static_cast<IQVXWidget*>(new QStorage); }},
    {"QUSB", [] { return static_cast<IQVXWidget*>(new QUSB); }},
    {"QSettings", [] { return static_cast<IQVXWidget*>(new QSettingsPage); }},
    {"QPlugins", [] { return static_cast<IQVXWidget*>(new QPlugins); }},
    {"QDebugger", [] { return static_cast<IQVXWidget*>(new QDebugger); }},
    {"QDeviceList", [] { return static_cast<IQVXWidget*>(new QDeviceList); }},
};

} // namespace

const std::vector<BuiltInPage>& BuiltInPages() { return kProgramPages; }
