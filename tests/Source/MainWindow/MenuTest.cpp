// The main window's frame and menu: the built-in pages in their groups, showing
// and hiding pages, duplicates, the start page, dragging, the mask and rebuilds.
#include <QBitmap>
#include <QGridLayout>
#include <QMouseEvent>
#include <QPushButton>
#include <QStackedWidget>

#include "MainWindow/MainEventFilter.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "support/LogCapture.h"
#include "support/PlainPage.h"

using test::MainWindowTest;
using test::RecordingPage;

namespace {
const QString kSystem = QStringLiteral("System\nInformation");
const QString kPerformance = QStringLiteral("Performance\nControl");

const char kTwoGroups[] =
    "<PageList><Group Name=\"Beta\"><Page Name=\"B2\"/><Page Name=\"B1\"/>"
    "<Page Name=\"Hidden\"><Visible>0</Visible></Page></Group>"
    "<Group Name=\"Alpha\"><Page Name=\"A2\"/><Page Name=\"A1\"/></Group></PageList>";

template <const char* Name>
IQVXWidget* Plain() { return new test::PlainPage(Name); }
} // namespace

TEST_F(MainWindowTest, BuiltInPagesMakeFourGroupsInTableOrder)
{
    ASSERT_TRUE(Open());
    EXPECT_EQ(MenuButtons(), (QStringList{kSystem, QStringLiteral("Status\nMonitor"), kPerformance,
                                          QStringLiteral("Preference")}));
    EXPECT_EQ(SubMenuButtons(), (QStringList{"Basic", "Detailed", "Diagram"}));
    EXPECT_EQ(window->Form().stackedWidget->currentWidget(), window->GetWidget(kSystem, "Basic"));

    // Clock/Voltage and Memory are enabled but hidden: they are pages without a button.
    ASSERT_TRUE(window->ShowWidget(kPerformance, "Novice Mode"));
    EXPECT_EQ(SubMenuButtons(), (QStringList{"Novice Mode", "Benchmark", "Stability Test", "Auto Clock"}));
    EXPECT_NE(window->GetWidget(kPerformance, "Clock/Voltage"), nullptr);
    EXPECT_FALSE(window->ShowWidget(kPerformance, "Clock/Voltage"));
    EXPECT_TRUE(test::LogContains("pSubMenuItem->m_bVisible"));
    // Pages the built-in table does not list were refused and deleted.
    EXPECT_EQ(g_WidgetManager.GetWidget("Partners"), nullptr);
    EXPECT_EQ(g_WidgetManager.GetWidget("USB"), nullptr);
}

TEST_F(MainWindowTest, OnlyTheMemoryPageOfTheBoardsMemoryTypeIsAccepted)
{
    // The page of the other memory type is not even built: nothing refuses it, so
    // the log holds no error. A board without a memory controller is a fault both
    // pages report.
    struct Case { int type; int memoryPages; const char* refusal; };
    const Case cases[] = {
        {8, 1, nullptr},    // DDR2
        {11, 1, nullptr},   // DDR3
        {7, 1, nullptr},    // DDR
        {-1, 0, "pMC"},     // no memory controller at all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        test::LogCapture::Instance().Clear();
        test::LoadBoardWith([&](QJsonObject& devices) {
            QJsonObject mc = devices.value("memoryController").toObject();
            if (c.type < 0)
                mc.insert("present", false);
            else
                mc.insert("type", c.type);
            devices.insert("memoryController", mc);
        });
        ASSERT_TRUE(Open());
        int memoryPages = 0;
        for (unsigned i = 0; i < g_WidgetManager.GetWidgetCount(); ++i)
            memoryPages += QByteArray(g_WidgetManager.GetWidget(i)->GetName()) == "Memory";
        EXPECT_EQ(memoryPages, c.memoryPages);
        EXPECT_EQ(test::LogCount("GetMemoryType()"), 0u);
        if (c.refusal) {
            EXPECT_EQ(test::LogCount(std::string("LOG_PROCESS_ERROR(") + c.refusal + ")"), 2u);
            EXPECT_EQ(test::LogCount("Page Memory initialization failed."), 2u);
        } else {
            EXPECT_EQ(test::LogCount("Page Memory initialization failed."), 0u);
        }
        TearDown();
        SetUp();
    }
}

TEST_F(MainWindowTest, HidingTheShownPageShowsItsFirstVisibleSiblingOrTheDefaultPage)
{
    static const char b1[] = "B1", b2[] = "B2", hidden[] = "Hidden", a1[] = "A1", a2[] = "A2";
    UsePages({{"B2", Plain<b2>}, {"B1", Plain<b1>}, {"Hidden", Plain<hidden>}, {"A2", Plain<a2>}, {"A1", Plain<a1>}});
    ASSERT_TRUE(Open(kTwoGroups));
    // Groups in the order of their first page; pages in insertion columns.
    EXPECT_EQ(MenuButtons(), (QStringList{"Beta", "Alpha"}));
    EXPECT_EQ(SubMenuButtons(), (QStringList{"B2", "B1"}));
    EXPECT_FALSE(window->ShowWidget("Beta", "Hidden"));

    window->SetVisible("Beta", "B2", false);
    EXPECT_EQ(window->Form().stackedWidget->currentWidget(), window->GetWidget("Beta", "B1"));
    EXPECT_EQ(SubMenuButtons(), (QStringList{"B1"}));
    window->SetVisible("Beta", "B1", false);
    EXPECT_EQ(window->Form().stackedWidget->currentIndex(), 0);
    EXPECT_EQ(window->Form().label_4->text(), "No visible pages");

    // Showing a page again makes it the shown page.
    window->SetVisible("Beta", "Hidden", true);
    EXPECT_EQ(window->Form().stackedWidget->currentWidget(), window->GetWidget("Beta", "Hidden"));
    EXPECT_EQ(SubMenuButtons(), (QStringList{"Hidden"}));
    EXPECT_EQ(window->GetWidget("Beta", "Nothing"), nullptr);
    EXPECT_TRUE(test::LogContains("itSub != pMainMenuItem->m_SubMenuList.end()"));
}

TEST_F(MainWindowTest, MenuButtonsSelectTheirGroupAndItsLastPage)
{
    static const char b1[] = "B1", b2[] = "B2", a1[] = "A1", a2[] = "A2";
    UsePages({{"B2", Plain<b2>}, {"B1", Plain<b1>}, {"A2", Plain<a2>}, {"A1", Plain<a1>}});
    ASSERT_TRUE(Open(kTwoGroups));
    window->findChild<QPushButton*>("Alpha")->click();
    EXPECT_EQ(SubMenuButtons(), (QStringList{"A2", "A1"}));
    window->findChild<QPushButton*>("A1")->click();
    EXPECT_EQ(window->Form().stackedWidget->currentWidget(), window->GetWidget("Alpha", "A1"));
    window->findChild<QPushButton*>("Beta")->click();
    EXPECT_EQ(window->Form().stackedWidget->currentWidget(), window->GetWidget("Beta", "B2"));
    window->findChild<QPushButton*>("Alpha")->click();
    EXPECT_EQ(window->Form().stackedWidget->currentWidget(), window->GetWidget("Alpha", "A1"));
    EXPECT_EQ(window->CurrentMain(), window->MenuList().at("Alpha"));
}

TEST_F(MainWindowTest, ASecondPageOfTheSameNameIsRejectedAndDeletedAtOnce)
{
    static const char memory[] = "Memory";
    int deleted = 0;
    struct Counted : test::PlainPage {
        explicit Counted(int* d) : test::PlainPage(memory), m_d(d) {}
        ~Counted() override { ++*m_d; }
        int* m_d;
    };
    UsePages({{"First", [&] { return static_cast<IQVXWidget*>(new Counted(&deleted)); }},
              {"Second", [&] { return static_cast<IQVXWidget*>(new Counted(&deleted)); }}});
    ASSERT_TRUE(Open("<PageList><Group Name=\"G\"><Page Name=\"Memory\"/></Group></PageList>"));
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(g_WidgetManager.GetWidgetCount(), 1u);
    EXPECT_TRUE(test::LogContains("itSub == itMain->second->m_SubMenuList.end()"));
    ASSERT_TRUE(window->UnInit());
    EXPECT_EQ(deleted, 2);
    // Nothing left registered: the widget manager's end of pass succeeds.
    EXPECT_TRUE(g_WidgetManager.UnInit());
}

TEST_F(MainWindowTest, OnlyTheExactAutoTuneArgumentOpensAutoClock)
{
    struct Case { QStringList arguments; const char* page; };
    const Case cases[] = {
        {{"VykVelocrest", "AutoTune"}, "Auto Clock"},
        {{"VykVelocrest", "autotune"}, "Basic"},
        {{"VykVelocrest"}, "Basic"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        ASSERT_TRUE(Open(QByteArray(), c.arguments));
        QWidget* current = window->Form().stackedWidget->currentWidget();
        EXPECT_EQ(QByteArray(static_cast<IQVXWidget*>(current)->GetName()), c.page);
        TearDown();
        SetUp();
    }
}

TEST_F(MainWindowTest, DraggingTheTitleMovesTheWindowButNotWithTheRightButtonOrFullScreen)
{
    ASSERT_TRUE(Open());
    window->move(100, 100);
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButton button) {
        QMouseEvent event(type, at, window->Form().titleLabel->mapToGlobal(at), button,
                          type == QEvent::MouseMove ? Qt::MouseButtons(button) : Qt::MouseButtons(button), Qt::NoModifier);
        QCoreApplication::sendEvent(window->Form().titleLabel, &event);
    };
    send(QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
    send(QEvent::MouseMove, {30, 15}, Qt::LeftButton);
    EXPECT_EQ(window->pos(), QPoint(120, 105));
    // The move event the window's own move makes is skipped.
    send(QEvent::MouseMove, {10, 10}, Qt::LeftButton);
    EXPECT_EQ(window->pos(), QPoint(120, 105));
    send(QEvent::MouseButtonRelease, {10, 10}, Qt::LeftButton);

    send(QEvent::MouseButtonPress, {10, 10}, Qt::RightButton);
    send(QEvent::MouseMove, {50, 50}, Qt::RightButton);
    EXPECT_EQ(window->pos(), QPoint(120, 105));
}

TEST_F(MainWindowTest, TheMaskCutsTheTopCornersFromTheSkinPictures)
{
    ASSERT_TRUE(Open());
    window->resize(1000, 700);
    QResizeEvent resize(QSize(1000, 700), QSize(900, 600));
    QCoreApplication::sendEvent(window, &resize);
    const QRegion mask = window->mask();
    EXPECT_FALSE(mask.contains(QPoint(0, 0)));
    EXPECT_FALSE(mask.contains(QPoint(999, 0)));
    EXPECT_TRUE(mask.contains(QPoint(500, 0)));
    EXPECT_TRUE(mask.contains(QPoint(0, 699)));
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window->windowTitle(), " Vyk Velocrest ");
}

TEST_F(MainWindowTest, RebuildingTheWindowLeavesNoPageButtonOrTimerBehind)
{
    ASSERT_TRUE(test::WriteFile("resource/logo.png", test::ReadFile(":/skin-black/images/vyk_logo.png")));
    ASSERT_TRUE(Open());
    const int pages = window->Form().stackedWidget->count();
    const int buttons = window->findChildren<QPushButton*>().size();
    QLabel* logo = window->CustomLogo();
    ASSERT_NE(logo, nullptr);
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(window->UnInit());
        ASSERT_TRUE(g_WidgetManager.UnInit());
        EXPECT_EQ(window->Form().stackedWidget->count(), 1);   // only "No visible pages"
        EXPECT_EQ(window->TimerId(), 0);
        ASSERT_TRUE(g_WidgetManager.Init());
        ASSERT_TRUE(window->Init(qobject_cast<QApplication*>(QCoreApplication::instance())));
        EXPECT_EQ(window->Form().stackedWidget->count(), pages);
        EXPECT_EQ(window->findChildren<QPushButton*>().size(), buttons);
        EXPECT_EQ(window->findChildren<MainEventFilter*>().size(), 1);
    }
    // The custom logo is made once and kept: 30 px, logo, Logo, 30 px.
    EXPECT_EQ(window->CustomLogo(), logo);
    EXPECT_EQ(logo->pixmap().size(), QSize(102, 40));
    auto* bar = window->Form().bottom_frame->layout();
    EXPECT_EQ(bar->itemAt(1)->widget(), logo);
    EXPECT_EQ(bar->itemAt(2)->widget(), window->Form().Logo);
    EXPECT_EQ(bar->itemAt(0)->spacerItem()->sizeHint().width(), 30);
    EXPECT_EQ(bar->itemAt(3)->spacerItem()->sizeHint().width(), 30);
}

TEST_F(MainWindowTest, EveryButtonOfTheFormReachesItsSlot)
{
    ASSERT_TRUE(Open());
    window->show();
    window->Form().discardButton->click();
    EXPECT_TRUE(window->isVisible());
    window->Form().applyButton->click();
    EXPECT_TRUE(window->isVisible());
    const unsigned boost = window->BoostState();
    window->Form().BoostBtn->click();
    EXPECT_NE(window->BoostState(), boost);
    window->Form().cancelButton->click();
    EXPECT_FALSE(window->isVisible());
    window->show();
    window->Form().okButton->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(g_nRestartRequest, 2);
    window->show();
    window->Form().closeButton->click();
    EXPECT_FALSE(window->isVisible());
}
