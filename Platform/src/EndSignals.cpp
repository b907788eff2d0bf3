#include "Platform/EndSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <iterator>
#include <fcntl.h>
#include <mutex>
#include <unistd.h>

namespace plat {

namespace {

// The handler only writes a byte here; the event loop reads it. The pipe is made
// once and never closed: a handler already running on another thread while the
// dispositions go back must not write into a descriptor that now names another file.
int g_pipe[2] = {-1, -1};

extern "C" void NoteEndSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

bool MakePipe()
{
    static std::once_flag once;
    std::call_once(once, [] {
        if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
            g_pipe[0] = g_pipe[1] = -1;
    });
    return g_pipe[0] >= 0;
}

// Empties the pipe; true when it held anything.
bool Drain()
{
    bool any = false;
    char bytes[64];
    ssize_t n;
    while ((n = ::read(g_pipe[0], bytes, sizeof bytes)) > 0 || (n < 0 && errno == EINTR))
        any = any || n > 0;
    return any;
}

} // namespace

EndSignals::EndSignals(std::function<void()> onEnd) : EndSignals() { Listen(std::move(onEnd)); }

EndSignals::EndSignals()
{
    if (!MakePipe())
        return;
    Drain();   // what arrived for an earlier object is not this one's to pass on
    struct sigaction action {};
    action.sa_handler = NoteEndSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : kSignals)
        sigaddset(&action.sa_mask, signal);
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        const int signal = kSignals[i];
        if (::sigaction(signal, nullptr, &m_previous[i]) != 0)
            continue;
        // Started under nohup: the user asked for the program to outlive the terminal.
        if (signal == SIGHUP && m_previous[i].sa_handler == SIG_IGN)
            continue;
        m_installed[i] = ::sigaction(signal, &action, nullptr) == 0;
    }
}

void EndSignals::Listen(std::function<void()> onEnd)
{
    m_pNotifier.reset();
    m_onEnd = std::move(onEnd);
    if (!m_onEnd || g_pipe[0] < 0)
        return;
    // A byte already waiting wakes the loop at once: nothing that came early is lost.
    m_pNotifier = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
    QObject::connect(m_pNotifier.get(), &QSocketNotifier::activated, m_pNotifier.get(), [this] { Deliver(); });
}

EndSignals::~EndSignals()
{
    for (size_t i = 0; i < std::size(kSignals); ++i)
        if (m_installed[i])
            ::sigaction(kSignals[i], &m_previous[i], nullptr);
    m_pNotifier.reset();
}

bool EndSignals::Deliver()
{
    if (g_pipe[0] < 0 || !Drain())
        return false;
    if (m_onEnd)
        m_onEnd();
    return true;
}

} // namespace plat
