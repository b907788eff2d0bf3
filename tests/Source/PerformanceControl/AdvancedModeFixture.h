#pragma once
// The Clock/Voltage page on a simulated board for one test: the firmware's item
// list and BIOS information read, the device library up, the page built and
// initialised; everything taken down again afterwards.
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Engine/BIOSMiscInfo.h"
#include "Engine/CMOSItemList.h"
#include "Engine/VykBIOSHandler.h"
#include "Engine/WmiHandler.h"
#include "PerformanceControl/AdvancedMode.h"
#include "QVXLogic/QVXLogic.h"
#include "Settings/ConfigParser.h"
#include "Settings/MiscSettings.h"
#include "Shell/GlobalFlags.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "VirtualBoard/Machine.h"

namespace test {

class AdvancedModeTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_bModified = false;
        g_bRebootRequired = false;
        ASSERT_TRUE(g_MiscSettings.Load());
        // The preference file's default allows the processor's full VID range; the
        // tests start from the guarded one.
        g_MiscSettings.MaximumVCoreEnabled = false;
    }

    void TearDown() override
    {
        delete page;
        page = nullptr;
        g_DeviceManager.UnInit();
        g_CMOSItemList.UnInit();
        g_WMIHandler.Disconnect();
        CVykBIOSHandler::m_Self.GetWmiHandler().Disconnect();
        CConfigParser::ReleaseInstance();
        g_MiscSettings.MaximumVCoreEnabled = false;
        g_bModified = false;
        g_bRebootRequired = false;
    }

    static QString Variant(const char* name)
    {
        return QStringLiteral(VELOCREST_FIXTURES "/boards/%1.json").arg(QLatin1String(name));
    }

    // Firmware lists and device library on the board loaded now, then the page's Init.
    bool Open()
    {
        if (!g_WMIHandler.Connect(u"root\\wmi") || !CVykBIOSHandler::m_Self.GetWmiHandler().Connect(u"root\\wmi"))
            return false;
        g_CMOSItemList.Init();
        g_BIOSMiscInfo.Init();
        if (!g_DeviceManager.Init(""))
            return false;
        page = new QAdvancedMode;
        return page->Init();
    }
    // The default board's firmware under a device-library variant.
    bool OpenVariant(const char* name)
    {
        LoadBoardOver(Variant(name));
        return Open();
    }

    void Show()
    {
        page->resize(980, 560);
        page->show();
        QCoreApplication::processEvents();
    }
    // One tick of the page's one-second timer.
    void Tick() { SendTick(page); }
    // Forgets what the board recorded so far.
    static void ClearJournal() { vb::Machine::Instance().GetJournal().Clear(); }
    // Device-library writes ("CPU0.SetMultiplier(11.5)") and CMOS item writes
    // ("CMOS item 1 = 2"), in order.
    static std::vector<std::string> Writes()
    {
        std::vector<std::string> lines;
        for (const std::string& line : vb::Machine::Instance().GetJournal().Entries()) {
            if (line.rfind("qvx: ", 0) == 0)
                lines.push_back(line.substr(5));
            else if (line.rfind("firmware: CMOS item", 0) == 0)
                lines.push_back(line.substr(10));
        }
        return lines;
    }
    // The lines holding fragment.
    static std::vector<std::string> Only(const std::vector<std::string>& lines, const std::string& fragment)
    {
        std::vector<std::string> out;
        for (const std::string& line : lines)
            if (line.find(fragment) != std::string::npos)
                out.push_back(line);
        return out;
    }
    // An item of "QVXConfig.xml" as the file on disk holds it; empty when absent.
    static QString Stored(const QString& group, const QString& subGroup, const QString& item)
    {
        CConfigParser::ReleaseInstance();
        QString value;
        CConfigParser::GetInstance()->GetValue(group, subGroup, item, value);
        return value;
    }
    static QString Name(IDevice* pDevice) { return QString::fromUtf16(pDevice->GetName()); }

    template <class T = QWidget>
    T* W(const char* name) const { return page->findChild<T*>(QLatin1String(name)); }
    QSlider* Slider(const char* name) const { return W<QSlider>(name); }
    QString Text(const char* name) const
    {
        if (auto* pLabel = W<QLabel>(name))
            return pLabel->text();
        if (auto* pEdit = W<QLineEdit>(name))
            return pEdit->text();
        return QStringLiteral("<missing %1>").arg(QLatin1String(name));
    }

    QAdvancedMode* page = nullptr;
};

} // namespace test
