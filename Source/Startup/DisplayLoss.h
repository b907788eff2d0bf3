#pragma once
// Qt's X11 platform ends the process with exit(1) right after it reports that its
// connection to the X server broke (the server ended: a logout, or the screen of
// scripts/run stopped first). After that only static destructors run, so that
// report is the last moment at which the program can end its run in order. While a
// DisplayLossWatch lives, onLost runs (once, on the GUI thread) when Qt reports it.
#include <functional>

class DisplayLossWatch {
public:
    explicit DisplayLossWatch(std::function<void()> onLost);
    ~DisplayLossWatch();
    DisplayLossWatch(const DisplayLossWatch&) = delete;
    DisplayLossWatch& operator=(const DisplayLossWatch&) = delete;

    bool IsLost() const { return m_bLost; }
    // What Qt's report sets off; public so that the message handler can reach it.
    void Lost();

private:
    std::function<void()> m_onLost;
    bool m_bLost = false;
};
