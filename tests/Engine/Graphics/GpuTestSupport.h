#pragma once
// The Engine's own driver handler on a board (the default or a variant), with the
// graphics tool torn down after each test.
#include <functional>

#include "../DriverTestSupport.h"
#include "Engine/GPUTool.h"
#include "VirtualBoard/Devices/DeviceBoard.h"
#include "VirtualBoard/GraphicsChip.h"
#include "VirtualBoard/NorthBridgeClocks.h"

namespace gputest {

class GpuTest : public testing::Test {
protected:
    // Loads the default board (changed by edit, when given) and opens the driver.
    void Start(const std::function<void(QJsonObject&)>& edit = nullptr)
    {
        vb::Machine::Instance().LoadDefault();
        if (edit)
            drvtest::LoadBoard(edit);
        ASSERT_TRUE(g_DriverHandler.Init()) << [] { std::string all; for (auto& l : test::LogCapture::Instance().Lines()) all += l; return all; }();
        drvtest::Driver().ClearTrace();
        test::LogCapture::Instance().Clear();
    }
    void TearDown() override
    {
        CGPUTool::UnmapRegisterWindow();
        CGPUTool::DestroyInstance();
        g_DriverHandler.UnInit();
    }
    static vb::NorthBridgeClocks& Nb() { return vb::Machine::Instance().Get<vb::NorthBridgeClocks>(); }
    static vb::GraphicsChip& Chip() { return vb::Machine::Instance().Get<vb::GraphicsChip>(); }
    static vb::GpuState& Gpu() { return vb::Machine::Instance().Get<vb::DeviceBoard>().gpus.at(0); }

    drvtest::ScopedExecutable exe;
    drvtest::ScopedMCFG mcfg{drvtest::DefaultMCFG()};
};

// Changes the board's "graphics" section.
inline void EditGraphics(QJsonObject& board, const std::function<void(QJsonObject&)>& edit)
{
    QJsonObject g = board.value("graphics").toObject();
    edit(g);
    board.insert("graphics", g);
}

} // namespace gputest
