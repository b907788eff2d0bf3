#pragma once
// Opening a file or starting a program the way the desktop does (ShellExecuteW):
// a file and its parameters, each kept whole, never joined into a command line for
// a command interpreter.
//
// The stand-in starts nothing. It records each call in the machine journal
// ("launch: open|<file>|<parameters>") and answers as the desktop would: 2 when the
// file does not exist, 42 (success) when it does. Backslashes in the file name are
// taken as folder separators. Fault: "launch-fails" (answer 5, access denied).
#include <QString>

#include <cstdint>

namespace plat {

// Results of 32 and below are errors.
constexpr intptr_t SE_ERR_FNF = 2;
constexpr intptr_t SE_ERR_ACCESSDENIED = 5;
constexpr intptr_t kLaunchSucceeded = 42;

class ILauncher {
public:
    virtual ~ILauncher() = default;
    // verb empty: the file type's default action. showCommand as ShellExecuteW (1: normal).
    virtual intptr_t ShellExecute(const QString& verb, const QString& file, const QString& parameters,
                                  const QString& directory, int showCommand) = 0;
};

ILauncher& Launcher();
void SetLauncher(ILauncher* launcher);

} // namespace plat
