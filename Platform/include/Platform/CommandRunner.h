#pragma once
// Running a command line through the command interpreter and waiting for it.
//
// The stand-in starts no program at all. It records each command line in the
// machine journal ("command: diskpart /s diskpart.tmp"), and the content of the
// script a "diskpart /s" line names ("command script: ..."), then simulates the two
// tools the program calls on the simulated machine: diskpart's volume commands act
// on the simulated volumes (VirtualBoard/Volumes.h), attrib checks that its file
// exists. Any other program is "not recognised" (exit code 9009).
// Fault: "command-start-fails" (the interpreter cannot be started).
#include <QString>

#include <cstdint>

namespace plat {

class ICommandRunner {
public:
    virtual ~ICommandRunner() = default;
    // Runs commandLine with workingDir as the current folder and waits for it.
    // False when it could not be started; otherwise *exitCode is the command's.
    virtual bool Run(const QString& commandLine, const QString& workingDir, uint32_t* exitCode) = 0;
};

ICommandRunner& CommandRunner();
void SetCommandRunner(ICommandRunner* runner);

} // namespace plat
