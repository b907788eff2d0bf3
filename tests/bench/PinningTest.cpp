// bench/ compares like with like: both sides of a pair run on the CPU chosen for
// them, our testers on the pinned thread and the reference tool through its command.
#include <QProcess>

#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "Pinning.h"
#include "Testers/CacheSizes.h"

namespace {

// The CPUs a process started with command may use, as it sees them itself.
QString CpusOfProcess(const QStringList& command)
{
    QProcess process;
    process.start(command.first(), command.mid(1));
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return QStringLiteral("failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
    return QString::fromLatin1(process.readAllStandardOutput()).trimmed();
}

TEST(BenchPinning, BothSidesOfAPairRunOnTheChosenCpu)
{
    const std::vector<int> allowed = qvx::CallingThreadCpus();
    ASSERT_FALSE(allowed.empty());
    EXPECT_EQ(bench::ChooseCpu(-1), allowed.back()) << "none asked: the last one";
    for (int cpu : {allowed.front(), allowed.back()}) {
        SCOPED_TRACE(cpu);
        EXPECT_EQ(bench::ChooseCpu(cpu), cpu);
        std::vector<int> ours;
        std::thread measuring([&] {
            if (bench::PinCallingThread(cpu))
                ours = qvx::CallingThreadCpus();
        });
        measuring.join();
        EXPECT_EQ(ours, std::vector<int>{cpu});
        // Started from this thread, free to run anywhere: the command alone keeps it there.
        const QStringList shell = {QStringLiteral("-c"), QStringLiteral("grep Cpus_allowed_list /proc/self/status")};
        EXPECT_EQ(CpusOfProcess(bench::OnCpu(cpu, QStringLiteral("sh"), shell)),
                  QStringLiteral("Cpus_allowed_list:\t%1").arg(cpu));
    }
    EXPECT_EQ(bench::ChooseCpu(CPU_SETSIZE + 1), -1) << "a CPU this process may not use";
    EXPECT_FALSE(bench::PinCallingThread(-1));
}

} // namespace
