// The main window and the hardware: the refresh after a USB device arrived or
// left, the boost button, and the default profile written on the first run.
#include "MainWindow/ZAR.h"

#include <QFile>
#include <QTimerEvent>

#include "Diagram/DialogManager.h"
#include "Engine/LogCheck.h"
#include "Pages/DeviceLookup.h"
#include "QVXLogic/CpuDevice.h"
#include "QVXLogic/DeviceManager.h"
#include "QVXLogic/ProfileSettings.h"
#include "Settings/SkinManager.h"
#include "Shell/IQVXWidget.h"

namespace {
constexpr char16_t DEFAULT_CONFIG_FILE[] = u"DefaultConfig.xml";
constexpr char16_t kBoostProcessorClass[] = u"Vyk Family 10h Processor";
}

void ZAR::_WriteDefaultProfile()
{
    if (QFile::exists(QString::fromUtf16(DEFAULT_CONFIG_FILE)))
        return;
    CProfileSettgins& rPS = CProfileSettgins::m_Self;
    // Part of Init, and logged as such.
    LOG_CHECK_ERROR_IN(rPS.SaveSettings(DEFAULT_CONFIG_FILE), "ZAR::Init");
}

void ZAR::timerEvent(QTimerEvent* event)
{
    // Any timer of the window counts: changes within one tick make one refresh.
    if (m_bDeviceChanged)
        Refresh();
    QMainWindow::timerEvent(event);
}

bool ZAR::Refresh()
{
    m_bDeviceChanged = false;
    bool bRetCode = g_DeviceManager.Refresh();
    LOG_PROCESS_ERROR(bRetCode);

    IQVXWidget* pSysInfo = GetWidget(QObject::tr("System\nInformation"), QObject::tr("Detailed"));
    LOG_PROCESS_ERROR(pSysInfo);
    bRetCode = pSysInfo->UnInit();
    LOG_PROCESS_ERROR(bRetCode);
    bRetCode = pSysInfo->Init();
    LOG_PROCESS_ERROR(bRetCode);

    if (g_DialogManager.IsInit()) {
        bRetCode = g_DialogManager.Refresh();
        LOG_PROCESS_ERROR(bRetCode);
    }
    return true;
}

void ZAR::_ShowBoostState(unsigned nState)
{
    m_nBoostState = nState;
    if (ui.BoostBtn)
        ui.BoostBtn->setStyleSheet(g_SkinManager.GetQssFile(
            nState ? QStringLiteral("boost_button_red.qss") : QStringLiteral("boost_button_green.qss")));
}

namespace {
// Processor 0's boost pair; false (logged under pszMethod, the caller) when there is
// no processor 0.
bool ReadBoostPair(bool& first, bool& second, const char* pszMethod)
{
    auto* pCPU = dev::Cpu();
    if (!pCPU) {
        LOG_WRITE_CHECK_LINE_IN("LOG_PROCESS_ERROR", "pCPU", pszMethod);
        return false;
    }
    first = false;
    second = false;
    pCPU->GetBoostMode(&first, &second);
    return true;
}
} // namespace

void ZAR::RefreshBoostButton()
{
    if (g_DeviceManager.GetDeviceCount(kBoostProcessorClass) == 0) {
        // Gone for the window's life, also across rebuilt windows.
        delete ui.BoostBtn;
        ui.BoostBtn = nullptr;
        return;
    }
    bool first = false;
    bool second = false;
    if (ReadBoostPair(first, second, "ZAR::RefreshBoostButton"))
        _ShowBoostState(first ? 1 : 0);
}

void ZAR::on_BoostBtn_clicked()
{
    bool first = false;
    bool second = false;
    if (!ReadBoostPair(first, second, "ZAR::on_BoostBtn_clicked"))
        return;
    // The new state follows the button, not the flag just read.
    const unsigned nNewState = (m_nBoostState + 1) % 2;
    first = nNewState == 1;

    bool bAllSet = true;
    const unsigned long nCount = g_DeviceManager.GetDeviceCount(dtCPU);
    for (unsigned long i = 0; i < nCount; ++i) {
        auto* pCore = dev::Cpu(i);
        if (!pCore) {
            LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", "pCPU");
            bAllSet = false;
            break;
        }
        if (!pCore->SetBoostMode(first, second)) {
            LOG_WRITE_CHECK_LINE("LOG_CHECK_ERROR", "pCPU->SetBoostMode(bBoost, bSecond)");
            bAllSet = false;
        }
    }
    // The button shows what the processor really does: a refused switch leaves it as it was.
    if (!bAllSet) {
        RefreshBoostButton();
        return;
    }
    _ShowBoostState(nNewState);
}
