#pragma once
// Watches an X server for the first top-level window a process maps, the same way
// for any program: the window's map notification, then the first picture the
// program draws into it (seen through the server's damage reports): from then on
// the user sees the window and its event loop runs, so the window is usable.
// Top-level windows are watched as children of the root window, so the server
// must run without a window manager (the bench's own Xvfb).
#include <QString>

#include <cstdint>
#include <memory>

namespace bench {

struct WINDOW_TIMES {
    bool bMapped = false;
    bool bDrawn = false;
    double dMapped = 0;     // seconds since the start given to Wait
    double dDrawn = 0;
};

class WindowWatch {
public:
    // Connects to the display (":3"); IsConnected says whether that worked (and
    // whether the server reports damage).
    explicit WindowWatch(const QString& display);
    ~WindowWatch();
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

    bool IsConnected() const;
    // Forgets the events of earlier runs: call just before starting the process.
    void Drain();
    // The first window of process pid mapped (whose title is title, when given),
    // and its first picture. Times count from startNs (CLOCK_MONOTONIC); the wait
    // ends timeoutMs after it.
    WINDOW_TIMES Wait(int64_t pid, const QString& title, int64_t startNs, int timeoutMs);

private:
    struct PRIVATE;
    std::unique_ptr<PRIVATE> d;
};

// CLOCK_MONOTONIC in nanoseconds.
int64_t MonotonicNs();

} // namespace bench
