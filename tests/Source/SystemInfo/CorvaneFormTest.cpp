// The flash-cache page's form: its widgets, the split slider, the enable button's
// question, and the S.M.A.R.T. status texts.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>

#include "Source/SystemInfo/CorvaneFixture.h"
#include "SystemInfo/Corvane.h"
#include "support/LogCapture.h"

using test::CorvaneTest;

namespace {

QString Text(QWidget* page, const char* name) { return page->findChild<QLabel*>(QLatin1String(name))->text(); }

} // namespace

TEST_F(CorvaneTest, TheFlashCachePageForm)
{
    QCorvane page;
    EXPECT_EQ(page.GetName(), std::string("Corvane"));
    EXPECT_EQ(page.objectName(), QStringLiteral("CorvaneClass"));
    EXPECT_EQ(page.windowTitle(), QStringLiteral("HDSettings"));
    EXPECT_EQ(page.size(), QSize(584, 412));
    EXPECT_EQ(Text(&page, "label"), QStringLiteral("Corvane wear level:"));
    EXPECT_EQ(Text(&page, "labelFlashSize"), QStringLiteral("256MB"));
    EXPECT_EQ(Text(&page, "labelPercentage"), QStringLiteral("50% / 50%"));
    EXPECT_EQ(page.findChild<QPushButton*>("btnEnableReadyBoost")->text(), QStringLiteral("&EnableReadyBoost"));
    auto* bar = page.findChild<QProgressBar*>("progressBar");
    EXPECT_TRUE(bar->invertedAppearance());
    EXPECT_EQ(bar->layoutDirection(), Qt::RightToLeft);
    EXPECT_EQ(bar->value(), 0);
    auto* slider = page.findChild<QSlider*>("sliderReadySize");
    EXPECT_EQ(slider->value(), 50);
    EXPECT_EQ(slider->maximum(), 99);
    EXPECT_EQ(page.ModifiedFlags(), 0) << "building the form changes nothing";

    // The page's operations do nothing at the main window's calls.
    EXPECT_TRUE(page.Init() && page.Apply() && page.Discard() && page.UnInit());
    page.show();
    EXPECT_FALSE(test::LogContains("m_bIsInitialized"));
    EXPECT_TRUE(Commands().empty());
}

TEST_F(CorvaneTest, TheSliderSplitsTheFlashCapacity)
{
    const struct { uint32_t flash; int value; const char* percent; const char* drive; const char* boost; } cases[] = {
        {256, 0, "0% / 100%", "0", "256"},
        {256, 25, "25% / 75%", "64", "192"},
        {1000, 99, "99% / 1%", "990", "10"},
        {0, 40, "40% / 60%", "0", "0"},
        // Beyond 42 M units the product no longer fits 32 bits.
        {0xFFFFFFFFu, 99, "99% / 1%", "4252017622", "42949673"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        QCorvane page;
        page.SetFlashSize(c.flash);
        page.findChild<QSlider*>("sliderReadySize")->setValue(c.value);
        EXPECT_EQ(Text(&page, "labelPercentage"), QLatin1String(c.percent));
        EXPECT_EQ(Text(&page, "labelRDriveSize"), QLatin1String(c.drive));
        EXPECT_EQ(Text(&page, "labelRBoostSize"), QLatin1String(c.boost));
        EXPECT_EQ(page.ModifiedFlags() & 0x2, 0x2);
    }
}

TEST_F(CorvaneTest, TheEnableButtonAsksAndStartsNothing)
{
    QCorvane page;
    auto* button = page.findChild<QPushButton*>("btnEnableReadyBoost");
    answers.Queue(QMessageBox::No);
    answers.Queue(QMessageBox::Yes);
    button->click();
    button->click();
    ASSERT_EQ(answers.Messages().size(), 2u);
    const auto& box = answers.Messages().front();
    EXPECT_EQ(box.icon, QMessageBox::Warning);
    EXPECT_EQ(box.title, QStringLiteral("Warning"));
    EXPECT_EQ(box.text, QStringLiteral("To enable ready boost function, system needs to be restarted right away. "
                                       "Do you want to continue?"));
    EXPECT_EQ(box.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(page.cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(Commands().empty());
    EXPECT_FALSE(vb::Machine::Instance().GetJournal().Contains("system: restart requested"));
}

TEST_F(CorvaneTest, SmartStatusTexts)
{
    QCorvane page;
    EXPECT_TRUE(page.OfflineStatusTexts().empty());
    page.InitSmartStatusTexts();
    const auto& offline = page.OfflineStatusTexts();
    EXPECT_EQ(offline.size(), 10u);
    for (uint8_t key : {0x00, 0x02, 0x04, 0x05, 0x06})
        EXPECT_EQ(offline.at(key), offline.at(static_cast<uint8_t>(key | 0x80))) << int(key);
    EXPECT_EQ(offline.at(0x86), QStringLiteral("Off-line data collection activity was aborted by the device with a fatal error."));
    const auto& selfTest = page.SelfTestStatusTexts();
    EXPECT_EQ(selfTest.size(), 9u);
    EXPECT_EQ(selfTest.at(15), QStringLiteral("Self-test routine in progress."));
    EXPECT_TRUE(selfTest.at(3).contains(QStringLiteral("self-test routineand the device")));
}
