// One line per built-in page, in creation order. A page that is not built yet is
// a placeholder under its real name; its own class replaces the line when it lands.
#include "Pages/BuiltInPages.h"

#include "Diagram/SysDiagram.h"
#include "Pages/PlaceholderPage.h"
#include "PerformanceControl/AdvancedMode.h"
#include "PerformanceControl/DDR2MC.h"
#include "PerformanceControl/DDRMC.h"
#include "PerformanceControl/FanControl.h"
#include "PerformanceControl/NoviceMode.h"
#include "PerformanceControl/PState.h"
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

template <const char* Name>
IQVXWidget* Placeholder() { return new CPlaceholderPage(Name); }

#define VELOCREST_PAGE_NAME(id, text) constexpr char id[] = text;
VELOCREST_PAGE_NAME(kPartners, "Partners")
VELOCREST_PAGE_NAME(kSettings, "Settings")
VELOCREST_PAGE_NAME(kPageList, "Page List")
VELOCREST_PAGE_NAME(kDebugger, "Debugger")
VELOCREST_PAGE_NAME(kDeviceList, "Device List")
#undef VELOCREST_PAGE_NAME

const std::vector<BuiltInPage> kProgramPages = {
    {"QBasicInfo", [] { return static_cast<IQVXWidget*>(new QBasicInfo); }},
    {"QSystemInfo", [] { return static_cast<IQVXWidget*>(new QSystemInfo); }},
    {"QPartners", Placeholder<kPartners>},
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
    {"QSettings", Placeholder<kSettings>},
    {"QPlugins", Placeholder<kPageList>},
    {"QDebugger", Placeholder<kDebugger>},
    {"QDeviceList", Placeholder<kDeviceList>},
};

const std::vector<BuiltInPage>* g_pTestPages = nullptr;

} // namespace

const std::vector<BuiltInPage>& BuiltInPages() { return g_pTestPages ? *g_pTestPages : kProgramPages; }

void SetBuiltInPagesForTests(const std::vector<BuiltInPage>* pPages) { g_pTestPages = pPages; }
