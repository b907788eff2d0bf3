#pragma once
// Shared by the firmware tests: every connection closed around each test, and a
// way to run on a board whose firmware section differs from the default one.
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "Engine/CMOSItemList.h"
#include "Engine/VykBIOSHandler.h"
#include "Engine/WmiHandler.h"
#include "VirtualBoard/Machine.h"
#include "VirtualBoard/VykAcpi.h"

namespace test {

class FirmwareTest : public ::testing::Test {
protected:
    void SetUp() override { DisconnectAll(); }
    void TearDown() override
    {
        DisconnectAll();
        g_CMOSItemList.UnInit();
    }

    static void DisconnectAll()
    {
        g_CIMHandler.Disconnect();
        g_WMIHandler.Disconnect();
        CVykBIOSHandler::m_Self.GetWmiHandler().Disconnect();
    }
    static void Connect()
    {
        ASSERT_TRUE(g_WMIHandler.Connect(u"root\\wmi"));
        ASSERT_TRUE(CVykBIOSHandler::m_Self.GetWmiHandler().Connect(u"root\\wmi"));
    }
    static vb::VykAcpi& Firmware() { return vb::Machine::Instance().Get<vb::VykAcpi>(); }
    static void SetFault(const std::string& name) { vb::Machine::Instance().GetFaults().Set(name); }

    // Reloads the board with these keys of the firmware section replaced.
    static void LoadFirmware(const QJsonObject& changes)
    {
        QJsonObject board = vb::Machine::Instance().Board();
        QJsonObject acpi = board.value(QStringLiteral("vykAcpi")).toObject();
        for (auto it = changes.begin(); it != changes.end(); ++it)
            acpi.insert(it.key(), it.value());
        board.insert(QStringLiteral("vykAcpi"), acpi);
        ASSERT_TRUE(vb::Machine::Instance().LoadJson(QJsonDocument(board).toJson()));
    }
};

} // namespace test
