#pragma once
// Shared by the driver tests: board variants, an MCFG table for start-up, an
// executable folder with (or without) the driver file, and the simulated driver's trace.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "Engine/DriverHandler.h"
#include "Platform/Module.h"
#include "Platform/ServiceManager.h"
#include "support/LogCapture.h"
#include "support/TestEnvironment.h"
#include "VirtualBoard/KernelDriver.h"
#include "VirtualBoard/Machine.h"

namespace drvtest {

inline vb::KernelDriver& Driver() { return vb::Machine::Instance().Get<vb::KernelDriver>(); }
inline vb::Faults& Faults() { return vb::Machine::Instance().GetFaults(); }

// The default board after edit() changed it.
inline void LoadBoard(const std::function<void(QJsonObject&)>& edit)
{
    QJsonObject board = vb::Machine::Instance().Board();
    edit(board);
    ASSERT_TRUE(vb::Machine::Instance().LoadJson(QJsonDocument(board).toJson()));
}

// Changes one PCI function of the board (found by "at"); a null value removes it.
inline void EditPciFunction(QJsonObject& board, const QString& at, const std::function<void(QJsonObject&)>& edit)
{
    QJsonObject pci = board.value("pci").toObject();
    QJsonArray functions = pci.value("functions").toArray();
    for (qsizetype i = 0; i < functions.size(); ++i) {
        QJsonObject f = functions.at(i).toObject();
        if (f.value("at").toString() != at)
            continue;
        edit(f);
        if (f.isEmpty())
            functions.removeAt(i);
        else
            functions.replace(i, f);
        break;
    }
    pci.insert("functions", functions);
    board.insert("pci", pci);
}

inline void AddPciFunction(QJsonObject& board, const QJsonObject& function)
{
    QJsonObject pci = board.value("pci").toObject();
    QJsonArray functions = pci.value("functions").toArray();
    functions.append(function);
    pci.insert("functions", functions);
    board.insert("pci", pci);
}

// An MCFG table: header (36), reserved (8), one entry per base.
struct McfgEntry {
    uint64_t base;
    uint16_t segment;
    uint8_t startBus;
    uint8_t endBus;
};
inline std::vector<uint8_t> MakeMCFG(std::vector<McfgEntry> entries)
{
    std::vector<uint8_t> t(44 + 16 * entries.size(), 0);
    std::memcpy(t.data(), "MCFG", 4);
    const uint32_t length = static_cast<uint32_t>(t.size());
    std::memcpy(t.data() + 4, &length, 4);
    for (size_t i = 0; i < entries.size(); ++i) {
        uint8_t* e = t.data() + 44 + 16 * i;
        std::memcpy(e, &entries[i].base, 8);
        std::memcpy(e + 8, &entries[i].segment, 2);
        e[10] = entries[i].startBus;
        e[11] = entries[i].endBus;
    }
    return t;
}
inline std::vector<uint8_t> DefaultMCFG() { return MakeMCFG({{0xE0000000ull, 0, 0, 63}}); }

// Start-up finds this MCFG table (or none) while the object lives.
class ScopedMCFG {
public:
    explicit ScopedMCFG(std::vector<uint8_t> table, bool present = true)
    {
        Table() = std::move(table);
        Present() = present;
        g_SetMCFGSource(&Source);
    }
    ~ScopedMCFG() { g_SetMCFGSource(nullptr); }
private:
    static std::vector<uint8_t>& Table() { static std::vector<uint8_t> t; return t; }
    static bool& Present() { static bool p; return p; }
    static bool Source(std::vector<uint8_t>& out)
    {
        if (!Present())
            return false;
        out = Table();
        return true;
    }
};

// The program "lives" in <test folder>/bin, with or without its driver file.
class ScopedExecutable {
public:
    explicit ScopedExecutable(bool withDriverFile = true)
    {
        const QString bin = test::TestDir() + "/bin";
        QDir().mkpath(bin + "/vyk64");
        QDir().mkpath(bin + "/i386");
        if (withDriverFile) {
            for (const char* arch : {"/vyk64", "/i386"}) {
                QFile f(bin + arch + "/QVXDriver.sys");
                EXPECT_TRUE(f.open(QIODevice::WriteOnly));
                f.write("QVXDriver.sys\n");
            }
        }
        m_path = (bin + "/VykVelocrest").toStdU16String();
        plat::SetExecutablePathForTesting(m_path.c_str());
    }
    ~ScopedExecutable() { plat::SetExecutablePathForTesting(nullptr); }
    QString DriverFile() const { return test::TestDir() + "/bin/vyk64/QVXDriver.sys"; }
private:
    std::u16string m_path;
};

inline plat::ServiceStatus DriverService() { return plat::QueryServiceStatus(u"QVXDriver"); }

// The trace entries of request n, oldest first.
inline std::vector<vb::KernelDriver::TraceEntry> Requests(uint32_t n)
{
    std::vector<vb::KernelDriver::TraceEntry> out;
    for (auto& e : Driver().Trace())
        if (e.code == QVXDriverCode(n))
            out.push_back(e);
    return out;
}

// Little-endian bytes of a list of (value, width) pairs.
inline std::vector<uint8_t> Bytes(std::initializer_list<std::pair<uint64_t, int>> fields)
{
    std::vector<uint8_t> out;
    for (const auto& [value, width] : fields)
        for (int i = 0; i < width; ++i)
            out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return out;
}

// A started handler on the default board with ECAM (unless the test says otherwise).
class DriverTest : public testing::Test {
protected:
    void SetUp() override { StartHandler(); }
    void TearDown() override { handler.UnInit(); }
    void StartHandler()
    {
        ASSERT_TRUE(handler.Init());
        Driver().ClearTrace();
        test::LogCapture::Instance().Clear();
    }

    ScopedExecutable exe;
    ScopedMCFG mcfg{DefaultMCFG()};
    CDriverHandler handler;
};

} // namespace drvtest
