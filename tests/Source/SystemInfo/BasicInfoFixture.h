#pragma once
// The Basic page on the simulated board: its fields by object name, the slot list,
// and the device accesses of a tick.
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "Source/StatusMonitor/StatusFixture.h"
#include "SystemInfo/BasicInfo.h"
#include "support/LogCapture.h"

namespace test {

class BasicInfoTest : public StatusPageTest<QBasicInfo> {
protected:
    QString Text(const char* name) const { return Get<QLineEdit>(QLatin1String(name))->text(); }
    bool IsEnabled(const char* name) const { return Get<QWidget>(QLatin1String(name))->isEnabled(); }
    QComboBox* Slots() const { return Get<QComboBox>(QStringLiteral("SlotBox")); }
    QString Grid(const char* row, int k) const
    {
        return Get<QLabel>(QStringLiteral("%1%2").arg(QLatin1String(row)).arg(k))->text();
    }
    // The page's log lines of one kind: "LOG_CHECK_ERROR(pCacheInfo) ... QBasicInfo::Init".
    static size_t Logged(const char* kind, const char* expression, const char* method)
    {
        size_t n = 0;
        for (const std::string& line : LogCapture::Instance().Lines())
            n += line.find(std::string(kind) + "(" + expression + ")") != std::string::npos &&
                 line.find(std::string("in QBasicInfo::") + method) != std::string::npos;
        return n;
    }
    // Every value field and grid label of the module view is empty.
    void ExpectModuleEmpty() const
    {
        for (const char* name : {"MemCapacity", "MemType", "MaxBandwidth", "MemManufacturer", "PartNumber", "SerialNumber", "Date"})
            EXPECT_TRUE(Text(name).isEmpty()) << name;
        for (const char* row : {"Freq", "Trp", "Trrd", "Trcd", "Tras", "Twr", "Twtr", "Trtp", "Trc", "Tcl"})
            for (int k = 0; k < 3; ++k)
                EXPECT_TRUE(Grid(row, k).isEmpty()) << row << k;
    }
};

} // namespace test
