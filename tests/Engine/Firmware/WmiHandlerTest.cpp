#include "FirmwareFixture.h"
#include "support/LogCapture.h"
#include "support/TestEnvironment.h"
#include "VirtualBoard/Clock.h"

#include <QJsonArray>

#include <future>
#include <thread>

#include "Platform/NamedMutex.h"
#include "Platform/Wmi.h"

namespace {

class WmiHandlerTest : public test::FirmwareTest {};

TEST_F(WmiHandlerTest, SecondConnectFailsAndKeepsTheFirst)
{
    ASSERT_TRUE(g_WMIHandler.Connect(u"root\\wmi"));
    EXPECT_FALSE(g_WMIHandler.Connect(u"root\\cimv2"));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(m_pIWbemServices == NULL)"));
    plat::VARIANT out;
    EXPECT_TRUE(g_WMIHandler.CallMethod(u"VYK_ACPI", u"QueryVersion", nullptr, nullptr, u"Version", &out));
    EXPECT_EQ(out.vt, plat::VT_I4);
}

TEST_F(WmiHandlerTest, FailedConnectLeavesNothingHalfOpen)
{
    for (const char* fault : {"wmi-locator", "wmi-connect:root\\wmi", "wmi-proxy-blanket"}) {
        vb::Machine::Instance().GetFaults().Clear();
        SetFault(fault);
        test::LogCapture::Instance().Clear();
        const int com = plat::WmiComInitCount();
        EXPECT_FALSE(g_WMIHandler.Connect(u"root\\wmi")) << fault;
        EXPECT_FALSE(g_WMIHandler.IsConnected()) << fault;
        EXPECT_EQ(plat::WmiComInitCount(), com) << fault;
        EXPECT_TRUE(test::LogContains("LOG_COM_PROCESS_ERROR(hRetCode)")) << fault;
    }
    vb::Machine::Instance().GetFaults().Clear();
    EXPECT_FALSE(g_WMIHandler.Connect(u"root\\nowhere"));
    ASSERT_TRUE(g_CIMHandler.Connect(u"root\\cimv2"));
}

TEST_F(WmiHandlerTest, InstanceMethodsRunOnInstanceZeroAndStaticOnesOnTheClass)
{
    Connect();
    plat::VARIANT out;
    ASSERT_TRUE(g_WMIHandler.CallMethod(u"VYK_ACPI", u"QueryVersion", nullptr, nullptr, u"Version", &out));
    EXPECT_TRUE(vb::Machine::Instance().GetJournal().Traced("ExecMethod \\\\.\\root\\wmi:VYK_ACPI.InstanceName="));

    // Without instances an instance method cannot run; a static one still can.
    LoadFirmware({{"instances", 0}, {"staticMethods", QJsonArray{"QueryCommandList"}}});
    EXPECT_FALSE(g_WMIHandler.CallMethod(u"VYK_ACPI", u"QueryVersion", nullptr, nullptr, u"Version", &out));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pInstance)"));
    plat::VariantClear(&out);
    EXPECT_TRUE(g_WMIHandler.CallMethod(u"VYK_ACPI", u"QueryCommandList", nullptr, nullptr, u"CommandList", &out));
    EXPECT_EQ(out.vt, plat::VT_UNKNOWN);
    EXPECT_TRUE(vb::Machine::Instance().GetJournal().Traced("ExecMethod \\\\.\\root\\wmi:VYK_ACPI QueryCommandList"));
    uint32_t count = 7;
    EXPECT_TRUE(g_WMIHandler.GetInstanceCount(u"VYK_ACPI", &count));
    EXPECT_EQ(count, 0u);
}

TEST_F(WmiHandlerTest, FailedMethodIsFalseWithoutALineAndTheMutexIsFreeAfterEveryPath)
{
    Connect();
    SetFault("vyk-acpi-fail:QueryVersion");
    plat::VARIANT out;
    EXPECT_FALSE(g_WMIHandler.CallMethod(u"VYK_ACPI", u"QueryVersion", nullptr, nullptr, u"Version", &out));
    EXPECT_TRUE(test::LogCapture::Instance().Lines().empty());
    EXPECT_FALSE(g_WMIHandler.CallMethod(u"NO_SUCH_CLASS", u"QueryVersion", nullptr, nullptr, u"Version", &out));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(pClsObj)"));
    EXPECT_FALSE(g_WMIHandler.CallMethod(u"VYK_ACPI", u"NoSuchMethod", nullptr, nullptr, u"Version", &out));
    EXPECT_TRUE(test::LogContains("LOG_COM_PROCESS_ERROR(hr)"));

    // Another thread can take the mutex at once: nobody kept it.
    auto mutex = plat::NamedMutex::OpenOrCreate("QVX_WMI_HANDLER_MUTEX");
    ASSERT_TRUE(mutex);
    std::thread other([&] {
        EXPECT_EQ(mutex->Wait(0), plat::WAIT_OBJECT_0);
        mutex->Release();
    });
    other.join();
}

TEST_F(WmiHandlerTest, MutexHeldElsewhereTimesTheCallOutOnTheMachineClock)
{
    Connect();
    auto mutex = plat::NamedMutex::OpenOrCreate("QVX_WMI_HANDLER_MUTEX");
    std::promise<void> held, done;
    std::thread holder([&] {
        mutex->Wait(0);
        held.set_value();
        done.get_future().wait();
        mutex->Release();
    });
    held.get_future().wait();
    const uint64_t before = test::Clock().NowNs();
    plat::VARIANT out;
    EXPECT_FALSE(g_WMIHandler.CallMethod(u"VYK_ACPI", u"QueryVersion", nullptr, nullptr, u"Version", &out));
    EXPECT_TRUE(test::LogContains("LOG_PROCESS_ERROR(ulWaitResult == WAIT_OBJECT_0)"));
    EXPECT_GE(test::Clock().NowNs() - before, 5000'000'000ull);
    EXPECT_EQ(Firmware().CallCount(QStringLiteral("QueryVersion")), 0);
    done.set_value();
    holder.join();
    EXPECT_TRUE(g_WMIHandler.CallMethod(u"VYK_ACPI", u"QueryVersion", nullptr, nullptr, u"Version", &out));
}

TEST_F(WmiHandlerTest, AbandonedMutexIsTakenOverWithACheckLine)
{
    Connect();
    auto mutex = plat::NamedMutex::OpenOrCreate("QVX_WMI_HANDLER_MUTEX");
    std::thread quitter([&] { EXPECT_EQ(mutex->Wait(0), plat::WAIT_OBJECT_0); });   // ends holding it
    quitter.join();
    plat::VARIANT out;
    EXPECT_TRUE(g_WMIHandler.CallMethod(u"VYK_ACPI", u"QueryVersion", nullptr, nullptr, u"Version", &out));
    EXPECT_TRUE(test::LogContains("LOG_CHECK_ERROR(ulWaitResult != WAIT_ABANDONED)"));
    test::LogCapture::Instance().Clear();
    EXPECT_TRUE(g_WMIHandler.CallMethod(u"VYK_ACPI", u"QueryVersion", nullptr, nullptr, u"Version", &out));
    EXPECT_TRUE(test::LogCapture::Instance().Lines().empty());
}

TEST_F(WmiHandlerTest, PropertiesAndArgumentChecks)
{
    struct Case {
        bool result;
        const char* line;
    };
    ASSERT_TRUE(g_WMIHandler.Connect(u"root\\wmi"));
    const plat::WbemObjectPtr cls = g_WMIHandler.GetObjectW(u"SetValuePackage");
    ASSERT_TRUE(cls);
    plat::VARIANT v = plat::MakeI4(7), read;
    const Case cases[] = {
        {g_WMIHandler.SetPropertyValue(cls, u"value", &v), nullptr},
        {g_WMIHandler.GetPropertyValue(cls, u"value", &read) && read.llVal == 7, nullptr},
        {g_WMIHandler.GetPropertyValue(cls, u"missing", &read), "LOG_COM_PROCESS_ERROR(hRetCode)"},
        {g_WMIHandler.GetPropertyValue(nullptr, u"value", &read), "LOG_PROCESS_ERROR(pObject)"},
        {g_WMIHandler.GetPropertyValue(cls, nullptr, &read), "LOG_PROCESS_ERROR(pszPropertyName)"},
        {g_WMIHandler.SetPropertyValue(cls, u"value", nullptr), "LOG_PROCESS_ERROR(pvaPropertyValue)"},
        {g_WMIHandler.GetObjectW(nullptr) != nullptr, "LOG_PROCESS_ERROR(pszObjectName)"},
        {g_WMIHandler.GetInstance(nullptr, 0) != nullptr, "LOG_PROCESS_ERROR(pszClassName)"},
        {g_WMIHandler.GetInstance(u"VYK_ACPI", 1) != nullptr, nullptr},
        {g_CIMHandler.GetObjectW(u"VYK_ACPI") != nullptr, "LOG_PROCESS_ERROR(m_pIWbemServices)"},
        {g_WMIHandler.GetInstanceCount(u"VYK_ACPI", nullptr), "LOG_PROCESS_ERROR(puCount)"},
    };
    const bool expected[] = {true, true, false, false, false, false, false, false, false, false, false};
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(cases[i].result, expected[i]) << i;
        if (cases[i].line) {
            EXPECT_TRUE(test::LogContains(cases[i].line)) << cases[i].line;
        }
    }
    uint32_t count = 0;
    EXPECT_TRUE(g_WMIHandler.GetInstanceCount(u"VYK_ACPI", &count));
    EXPECT_EQ(count, 1u);
    EXPECT_TRUE(g_WMIHandler.GetInstance(u"VYK_ACPI", 0));
}

} // namespace
