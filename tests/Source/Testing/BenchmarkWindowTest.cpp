// The Benchmark page in the main window: the built-in page table admits it, Apply
// and Discard reach it, and pictures of a finished run in each skin.
#include <QCheckBox>
#include <QPushButton>

#include "Platform/Registry.h"
#include "Source/MainWindow/MainWindowFixture.h"
#include "Testing/PerformanceTest.h"
#include "SourceThreads/Testing/BenchmarkTestSupport.h"

using test::MainWindowTest;

namespace {

const QString kGroup = QStringLiteral("Performance\nControl");
const QString kPage = QStringLiteral("Benchmark");

QPerformanceTest* Benchmark(ZAR* window) { return dynamic_cast<QPerformanceTest*>(window->GetWidget(kGroup, kPage)); }

} // namespace

TEST_F(MainWindowTest, BenchmarkChoiceGoesThroughApplyAndDiscard)
{
    ASSERT_TRUE(Open());
    QPerformanceTest* page = Benchmark(window);
    ASSERT_TRUE(page);
    window->show();
    ASSERT_TRUE(window->ShowWidget(kGroup, kPage));
    auto* memory = page->findChild<QCheckBox*>(QStringLiteral("checkBoxMemory"));
    memory->setChecked(false);
    window->Apply();
    plat::RegistryKey key;
    ASSERT_EQ(key.Open(plat::RegistryHive::CurrentUser, u"Software\\Vyk\\Vyk Velocrest\\BenchmarkMRU"), plat::ERROR_SUCCESS);
    uint32_t value = 1;
    EXPECT_EQ(key.QueryDword(u"Memory", value), plat::ERROR_SUCCESS);
    EXPECT_EQ(value, 0u);
    memory->setChecked(true);
    window->Discard();
    EXPECT_FALSE(memory->isChecked());
    window->hide();
}

TEST_F(MainWindowTest, ScreenshotsOfTheBenchmarkPageInEachSkin)
{
    test::FixedTesters fixed;
    test::SetExampleValues(fixed);
    ForEachSkin([&](const QString&) {
        ASSERT_TRUE(Open());
        QPerformanceTest* page = Benchmark(window);
        ASSERT_TRUE(page);
        page->findChild<QPushButton*>(QStringLiteral("btnRun"))->click();
        ASSERT_TRUE(test::WaitFinished(page->MainThread()));
        QMetaObject::invokeMethod(page, "UpdateProgressBar");
        SavePageScreenshot(kGroup, kPage, QStringLiteral("benchmark"));
        window->hide();
    });
}
