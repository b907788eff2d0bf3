#pragma once
// Start-up and shutdown run in this process: RunApplication with the program folder
// set to the test's folder, every pass's window closed at once (unless a test
// drives the window itself), and the message boxes answered by the test.
#include <QDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "MainWindow/ZAR.h"
#include "Platform/Registry.h"
#include "Settings/ConfigParser.h"
#include "Settings/MiscSettings.h"
#include "Startup/RunApplication.h"
#include "support/MessageBoxAnswers.h"
#include "support/TestEnvironment.h"

namespace test {

inline constexpr char kWarningStart[] = "WARNING: Operating your processor outside of official Vyk specifications";

class StartupTest : public testing::Test {
protected:
    void SetUp() override
    {
        options.programFolder = test::TestDir();
        // Every pass closes its window at once, so the event loop ends by itself.
        options.onWindowShown = [this](ZAR& window) {
            ++passes;
            if (onPass)
                onPass(window, passes);
            QTimer::singleShot(0, &window, &QWidget::close);
        };
    }

    void TearDown() override { Reset(); }

    // Between the cases of one test: no window, store or language left over.
    void Reset()
    {
        ZAR::ReleaseInstanceForTests();
        CConfigParser::ReleaseInstance();
        CMiscSettings::SetQtTranslationFolder(QStringLiteral(":/translation"));
        g_MiscSettings.LanguageType = 0;
        g_MiscSettings.LoadLanguage();
        QDir::setCurrent(test::TestDir());
    }

    int Run(QStringList arguments = {})
    {
        arguments.prepend(QStringLiteral("VykVelocrest"));
        std::vector<QByteArray> bytes;
        std::vector<char*> argv;
        for (const QString& a : arguments)
            bytes.push_back(a.toLocal8Bit());
        for (QByteArray& b : bytes)
            argv.push_back(b.data());
        argv.push_back(nullptr);
        return RunApplication(static_cast<int>(bytes.size()), argv.data(), options);
    }

    // One run with options that arrange() changed; the fixture's own stay as they were.
    int RunWith(const std::function<void(StartupOptions&)>& arrange)
    {
        const StartupOptions own = options;
        arrange(options);
        const int code = Run();
        options = own;
        return code;
    }

    static void SetValue(plat::RegistryHive hive, const char16_t* name, uint32_t value)
    {
        plat::RegistryKey key;
        ASSERT_EQ(key.Create(hive, plat::kProductKey), plat::ERROR_SUCCESS);
        ASSERT_EQ(key.SetDword(QString::fromUtf16(name), value), plat::ERROR_SUCCESS);
    }

    StartupOptions options;
    std::function<void(ZAR&, int)> onPass;
    int passes = 0;
    test::MessageBoxAnswers answers;
};

} // namespace test
