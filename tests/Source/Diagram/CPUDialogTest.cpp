// The processor dialog: the fixed facts read once at Init (instruction sets,
// family and model in hexadecimal, caches with the core count), the live values
// of its once-a-second tick, which reads nothing while the dialog is hidden,
// and a multiplier of 0 that must not turn the reference clock into nonsense.
#include <functional>

#include "Diagram/CPUDialog.h"
#include "QVXLogic/CpuDevice.h"
#include "Source/Diagram/DiagramFixture.h"
#include "support/LogCapture.h"

using test::Board;
using test::DiagramTest;
using test::Tick;

namespace {

// The processor changed before the device library looks at it again.
void WithCpu(const std::function<void(vb::CpuState&)>& change)
{
    test::RemakeDevicesAfter([&](vb::DeviceBoard& board) { change(board.cpu); });
}

QStringList Texts(std::initializer_list<QLineEdit*> edits)
{
    return test::Texts(edits);
}

QStringList Caches(Ui::CPUDialogClass& f)
{
    return Texts({f.L1CodeCacheEdit, f.L1CodeAssocEdit, f.L1CodeLSEdit, f.L1DataCacheEdit, f.L1DataAssocEdit,
                  f.L1DataLSEdit, f.L2CacheEdit, f.L2AssocEdit, f.L2LSEdit, f.L3CacheEdit, f.L3AssocEdit, f.L3LSEdit});
}

} // namespace

TEST_F(DiagramTest, CpuFixedFieldsShowTheProcessorOnce)
{
    CPUDialog dialog;
    ASSERT_TRUE(dialog.Init());
    Ui::CPUDialogClass& f = dialog.Form();
    EXPECT_EQ(std::string(dialog.GetName()), "CPU");
    auto* core0 = QvxGetDevice<ICPUDevice>(dtCPU, 0);
    ASSERT_NE(core0, nullptr);
    EXPECT_EQ(f.NameEdit->text(), QString::fromUtf16(core0->GetName()));
    EXPECT_TRUE(f.NameEdit->text().endsWith("Quad-Core Processor"));
    EXPECT_EQ(Texts({f.FamilyEdit, f.ModelEdit, f.SteppingEdit}), QStringList({"10", "04", "2"}));
    EXPECT_FALSE(f.PackageEdit->text().isEmpty());
    EXPECT_FALSE(f.RevisionEdit->text().isEmpty());
    EXPECT_EQ(Caches(f), QStringList({"64 KB X 4", "2-way", "64 bytes", "64 KB X 4", "2-way", "64 bytes",
                                      "512 KB X 4", "16-way", "64 bytes", "6144 KB", "48-way", "64 bytes"}));
    // The live fields wait for the first tick.
    EXPECT_TRUE(f.BusSpeedEdit->text().isEmpty());
    EXPECT_TRUE(f.Core0SpeedEdit->text().isEmpty());
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
        EXPECT_TRUE(edit->isReadOnly());
        EXPECT_TRUE(edit->whatsThis().endsWith(' ')) << edit->objectName().toStdString();
    }
    EXPECT_EQ(f.BusSpeedEdit->whatsThis(),
              QString::fromUtf8("External HyperTransport\u2122 link frequency from clock generator. "));
}

TEST_F(DiagramTest, CpuInstructionSetsFamilyModelAndCachesByTable)
{
    const struct {
        const char* name;
        std::vector<int> flags;   // bytes of the instruction-set record set to 1
        uint32_t signature;
        int cores;
        double l3Size;
        const char *instructions, *family, *model, *l1Code, *l3;
    } kCases[] = {
        {"nothing", {}, 0x00100F42, 4, 6144, "", "10", "04", "64 KB X 4", "6144 KB"},
        {"MMX alone", {18}, 0x00000F02, 1, 6144, "MMX", "F", "00", "64 KB", "6144 KB"},
        {"3D and variant", {6, 7}, 0x00100FA2, 2, 0, "Vexlo!\u2122(+)", "10", "0A", "64 KB X 2", ""},
        {"extensions without their base", {7, 19, 14}, 0x00210F22, 4, 0, "SSE2", "11", "12", "64 KB X 4", ""},
        {"all", {6, 7, 8, 12, 13, 14, 15, 18, 19}, 0x00100F42, 4, 512, "MMX(+), Vexlo!\u2122(+), SSE, SSE2, SSE3, SSE4A, x86-64",
         "10", "04", "64 KB X 4", "512 KB"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        WithCpu([&](vb::CpuState& cpu) {
            cpu.instructionSet.fill(0);
            for (int byte : c.flags)
                cpu.instructionSet[static_cast<size_t>(byte)] = 1;
            cpu.signature = c.signature;
            cpu.cores = c.cores;
            cpu.caches[3].size = c.l3Size;
        });
        CPUDialog dialog;
        ASSERT_TRUE(dialog.Init());
        Ui::CPUDialogClass& f = dialog.Form();
        EXPECT_EQ(f.InstructionEdit->text(), QString::fromUtf8(c.instructions));
        EXPECT_EQ(f.FamilyEdit->text(), c.family);
        EXPECT_EQ(f.ModelEdit->text(), c.model);
        EXPECT_EQ(f.L1CodeCacheEdit->text(), c.l1Code);
        EXPECT_EQ(f.L3CacheEdit->text(), c.l3);
        // No L3 leaves its whole row empty, without a log line.
        EXPECT_EQ(f.L3AssocEdit->text().isEmpty(), *c.l3 == 0);
    }
}

TEST_F(DiagramTest, CpuWithoutItsRecordsStillShowsWhatItCanAndWithoutCore0IsAbsent)
{
    vb::Machine::Instance().GetFaults().Set("qvx:CPU.GetInstructionSet");
    CPUDialog dialog;
    ASSERT_TRUE(dialog.Init());
    EXPECT_TRUE(dialog.Form().InstructionEdit->text().isEmpty());
    EXPECT_FALSE(dialog.Form().NameEdit->text().isEmpty());
    EXPECT_TRUE(test::LogContains("LOG_CHECK_ERROR(pInstructionSet)"));
    EXPECT_EQ(test::LogCheckCount("LOG_CHECK_ERROR(pInstructionSet)", "CPUDialog::Init"), 1u);

    // A cache without its record: its fields stay empty, and the line names Init.
    vb::Machine::Instance().GetFaults().Set("qvx:CPU.GetL2CacheInfo");
    CPUDialog noL2;
    ASSERT_TRUE(noL2.Init());
    EXPECT_EQ(noL2.Form().L2AssocEdit->text(), "");
    EXPECT_FALSE(noL2.Form().L1CodeAssocEdit->text().isEmpty());
    EXPECT_EQ(test::LogCheckCount("LOG_CHECK_ERROR(pCacheInfo)", "CPUDialog::Init"), 1u);

    WithCpu([](vb::CpuState& cpu) { cpu.cores = 0; });
    CPUDialog none;
    EXPECT_FALSE(none.Init());
    EXPECT_FALSE(test::LogContains("pCPU"));   // absent, not failing
    EXPECT_TRUE(none.Form().NameEdit->text().isEmpty());
}

TEST_F(DiagramTest, CpuTickShowsLiveValuesOnlyWhileVisibleAndGuardsAZeroMultiplier)
{
    WithCpu([](vb::CpuState& cpu) {
        cpu.vid = 1.3;
        cpu.nbVid = 0;   // no reading yet
    });
    {
        auto lock = Board().Lock();
        Board().SetMultiplier(0, 13);
    }
    CPUDialog dialog;
    ASSERT_TRUE(dialog.Init());
    Ui::CPUDialogClass& f = dialog.Form();

    // Hidden: the tick reads no device and changes nothing.
    const uint64_t before = Board().Accesses();
    Tick(dialog);
    EXPECT_EQ(Board().Accesses(), before);
    EXPECT_TRUE(f.Core0SpeedEdit->text().isEmpty());

    dialog.show();
    Tick(dialog);
    EXPECT_EQ(Texts({f.BusSpeedEdit, f.Core0SpeedEdit, f.Core0MulEdit, f.Core0VolEdit}),
              QStringList({"200.00 MHz", "2600.00 MHz", "13.00 X", "1.30 V"}));
    EXPECT_EQ(Texts({f.NBSpeedEdit, f.NBMulEdit, f.NBVolEdit}), QStringList({"2000.00 MHz", "10.00 X", ""}));
    EXPECT_EQ(Texts({f.Core3SpeedEdit, f.Core3MulEdit, f.Core3VolEdit}),
              QStringList({"3200.00 MHz", "16.00 X", "1.30 V"}));

    // A north-bridge voltage shows once it reads, and a later 0 leaves it standing.
    {
        auto lock = Board().Lock();
        Board().cpu.nbVid = 1.15;
    }
    Tick(dialog);
    EXPECT_EQ(f.NBVolEdit->text(), "1.15 V");
    {
        auto lock = Board().Lock();
        Board().cpu.nbVid = 0;
        Board().cpu.multiplier[0] = 0;   // a multiplier of 0 gives no reference clock
    }
    Tick(dialog);
    EXPECT_EQ(f.NBVolEdit->text(), "1.15 V");
    EXPECT_EQ(f.BusSpeedEdit->text(), "200.00 MHz");
    EXPECT_EQ(f.Core0MulEdit->text(), "0.00 X");
    dialog.hide();
}

TEST_F(DiagramTest, CpuButtonOpensTheProcessorDialogThatAgreesWithTheDevice)
{
    Open();
    ASSERT_EQ(Title(dnCPU), "CPU");
    auto& dialog = dynamic_cast<CPUDialog&>(*g_DialogManager.Frame(dnCPU)->Dialog());
    Button(dnCPU)->click();
    Tick(dialog);
    auto* core1 = QvxGetDevice<ICPUDevice>(dtCPU, 1);
    ASSERT_NE(core1, nullptr);
    EXPECT_EQ(dialog.Form().Core1SpeedEdit->text(), QStringLiteral("%1 MHz").arg(core1->GetCurrentFrequency(), 0, 'f', 2));
    EXPECT_EQ(dialog.Form().Core1MulEdit->text(), QStringLiteral("%1 X").arg(core1->GetCurrentMultiplier(), 0, 'f', 2));
    Button(dnCPU)->click();
}
