#pragma once
// The program from start to end: start-up checks, the Engine and the device
// library, the main window in a loop that rebuilds it after a change of language
// or page list, and the teardown. Returns the exit code (0 to 16).
#include <QString>

#include <functional>

class ZAR;

struct StartupOptions {
    // The folder every relative path is taken from; empty: the program's own folder.
    QString programFolder;
    // Replaces g_InitEngine (tests).
    std::function<bool()> initEngine;
    // Runs once the window of a pass is shown, before the event loop (tests drive it from here).
    std::function<void(ZAR&)> onWindowShown;
};

int RunApplication(int argc, char** argv, const StartupOptions& options = {});

// The message shown for an exit code; empty for the codes that end silently.
QString ExitMessage(int nCode);
