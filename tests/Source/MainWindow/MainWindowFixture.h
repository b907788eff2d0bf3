#pragma once
// A main window on the simulated board for one test: the stores loaded from the
// test's folder, the device library up, a fresh window, and everything taken down
// again (also the window itself, so no state leaks into the next test).
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimerEvent>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Engine/BIOSMiscInfo.h"
#include "Engine/CMOSItemList.h"
#include "Engine/VykBIOSHandler.h"
#include "Engine/WmiHandler.h"
#include "MainWindow/ZAR.h"
#include "Pages/BuiltInPages.h"
#include "QVXLogic/DeviceManager.h"
#include "Settings/ConfigParser.h"
#include "Settings/MiscSettings.h"
#include "Settings/PageSettings.h"
#include "Settings/SkinManager.h"
#include "Shell/GlobalFlags.h"
#include "Shell/IQVXWidget.h"
#include "Shell/WidgetManager.h"
#include "Source/Files.h"
#include "VirtualBoard/Machine.h"
#include "support/BoardEdits.h"
#include "support/MessageBoxAnswers.h"

namespace test {

// A page that records what was done to it in one shared call list.
class RecordingPage : public IQVXWidget {
public:
    RecordingPage(const char* name, std::vector<std::string>* calls, bool applyOk = true)
        : m_name(name), m_calls(calls), m_applyOk(applyOk) {}
    bool Init() override { return true; }
    bool UnInit() override { return true; }
    bool Apply() override { m_calls->push_back(std::string("Apply ") + m_name); return m_applyOk; }
    bool Discard() override { m_calls->push_back(std::string("Discard ") + m_name); return true; }
    const char* GetName() override { return m_name; }

private:
    const char* m_name;
    std::vector<std::string>* m_calls;
    bool m_applyOk;
};

// Loads the default board with changes made to its JSON.
inline void LoadBoardWith(const std::function<void(QJsonObject& devices)>& change)
{
    QJsonObject devices = DefaultBoard().value(QStringLiteral("devices")).toObject();
    change(devices);
    ASSERT_TRUE(LoadDefaultBoardWith({{QStringLiteral("devices"), devices}}));
}

// The default board (with its firmware) under a device-library variant's sections.
inline void LoadBoardOver(const QString& variantPath)
{
    QFile variant(variantPath);
    ASSERT_TRUE(variant.open(QIODevice::ReadOnly));
    ASSERT_TRUE(LoadDefaultBoardWith(QJsonDocument::fromJson(variant.readAll()).object()));
}

// A device-library variant under tests/fixtures/boards, by its name ("qvx-ddr").
inline QString BoardVariant(const char* name)
{
    return QStringLiteral(VELOCREST_FIXTURES "/boards/%1.json").arg(QLatin1String(name));
}

// One tick of an object's timer, sent instead of waited for.
inline void SendTick(QObject* object)
{
    QTimerEvent tick(0);
    QCoreApplication::sendEvent(object, &tick);
}

// <build>/screenshots, where the tests leave their pictures to be looked at.
inline QString ScreenshotDir()
{
    const QString dir = QCoreApplication::applicationDirPath() + QStringLiteral("/../screenshots");
    QDir().mkpath(dir);
    return QDir(dir).absolutePath();
}

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        g_bModified = false;
        g_bRebootRequired = false;
        g_nRestartRequest = 0;
        ASSERT_TRUE(g_MiscSettings.Load());
        g_SkinManager.SetSkin(QStringLiteral("skin-black"));
        m_skin = QStringLiteral("skin-black");
    }

    void TearDown() override
    {
        ZAR::ReleaseInstanceForTests();
        EXPECT_TRUE(g_WidgetManager.UnInit());
        g_DeviceManager.UnInit();
        SetBuiltInPagesForTests(nullptr);
        CConfigParser::ReleaseInstance();
        g_bModified = false;
        g_bRebootRequired = false;
        g_nRestartRequest = 0;
    }

    // Page table from text (or the built-in one when empty), device library, window.
    bool Open(const QByteArray& pageSettings = QByteArray(), const QStringList& arguments = {})
    {
        if (!pageSettings.isEmpty() && !WriteFile(QStringLiteral("PageSettings.xml"), pageSettings))
            return false;
        if (!g_PageSettings.Load() || !g_DeviceManager.Init("") || !g_WidgetManager.Init())
            return false;
        window = ZAR::GetInstance();
        window->SetArguments(arguments);
        return window->Init(qobject_cast<QApplication*>(QCoreApplication::instance()));
    }

    // Fake pages instead of the built-in table.
    void UsePages(std::vector<BuiltInPage> pages)
    {
        m_pages = std::move(pages);
        SetBuiltInPagesForTests(&m_pages);
    }

    // Runs body once per skin on a fresh window (SetUp before, TearDown after), so
    // every page and dialog is pictured in both skins.
    void ForEachSkin(const std::function<void(const QString& skin)>& body)
    {
        for (const char* skin : {"skin-black", "skin-red"}) {
            SCOPED_TRACE(skin);
            g_SkinManager.SetSkin(QLatin1String(skin));
            m_skin = QLatin1String(skin);
            body(m_skin);
            TearDown();
            SetUp();
        }
    }

    // Shows the window at its real size with the named page in front, lets the
    // page tick once, and saves the picture as <build>/screenshots/<stem>-<skin>.png.
    // Pages are looked at as the user sees them: inside the real window, never alone.
    QImage SavePageScreenshot(const QString& group, const QString& page, const QString& stem)
    {
        window->resize(1000, 700);
        window->show();
        EXPECT_TRUE(window->ShowWidget(group, page));
        if (IQVXWidget* widget = window->GetWidget(group, page)) {
            QTimerEvent tick(0);
            QCoreApplication::sendEvent(widget, &tick);
        }
        QCoreApplication::processEvents();
        const QImage image = window->grab().toImage();
        EXPECT_EQ(image.size(), QSize(1000, 700));
        EXPECT_TRUE(image.save(QStringLiteral("%1/%2-%3.png").arg(ScreenshotDir(), stem, m_skin)));
        return image;
    }

    QStringList MenuButtons() const
    {
        QStringList texts;
        for (int column = 0; column < 999; ++column) {
            QLayoutItem* item = window->Form().menu_frame->layout()
                ? static_cast<QGridLayout*>(window->Form().menu_frame->layout())->itemAtPosition(0, column) : nullptr;
            if (!item)
                break;
            texts << static_cast<QPushButton*>(item->widget())->text();
        }
        return texts;
    }

    QStringList SubMenuButtons() const
    {
        QStringList texts;
        auto* grid = static_cast<QGridLayout*>(window->Form().submenu_frame->layout());
        for (int column = 0; grid && column < 999; ++column)
            if (QLayoutItem* item = grid->itemAtPosition(0, column); item && item->widget())
                texts << static_cast<QPushButton*>(item->widget())->text();
        return texts;
    }

    ZAR* window = nullptr;
    std::vector<std::string> calls;
    MessageBoxAnswers answers;

private:
    std::vector<BuiltInPage> m_pages;
    QString m_skin = QStringLiteral("skin-black");
};

// The main window with the firmware reached as the program's start reaches it:
// its management class, the BIOS handler, the CMOS items and the BIOS facts.
class FirmwareWindowTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        ASSERT_TRUE(g_WMIHandler.Connect(u"root\\wmi"));
        ASSERT_TRUE(CVykBIOSHandler::m_Self.GetWmiHandler().Connect(u"root\\wmi"));
        g_CMOSItemList.Init();
        g_BIOSMiscInfo.Init();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        g_CMOSItemList.UnInit();
        g_WMIHandler.Disconnect();
        CVykBIOSHandler::m_Self.GetWmiHandler().Disconnect();
    }
};

} // namespace test
