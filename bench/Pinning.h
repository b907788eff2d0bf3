#pragma once
// Both sides of a pair run on one CPU: our testers on the calling thread, pinned
// there, and the reference tool through a command line that keeps it there. So
// neither side gets a CPU, or a cache, the other does not.
#include <QString>
#include <QStringList>

namespace bench {

// The CPU the pairs run on: asked (>= 0) when this process may use it, else -1;
// with none asked (-1), the last one it may use (many systems steer their
// interrupts to the first ones).
int ChooseCpu(int asked);
// Keeps the calling thread, and what it starts from now on, on cpu alone.
bool PinCallingThread(int cpu);
// The command line (program first) that runs program with arguments on cpu alone.
QStringList OnCpu(int cpu, const QString& program, const QStringList& arguments);

} // namespace bench
