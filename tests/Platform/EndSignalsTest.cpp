// The signals that ask the program to end reach it through its event loop instead
// of killing it, and are the process's own again afterwards.
#include <QCoreApplication>

#include <gtest/gtest.h>
#include <csignal>

#include "Platform/EndSignals.h"

namespace {

// Lets the event loop pass on what is waiting, without waiting for anything.
void TakeWaitingEvents()
{
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents();
}

// Puts a signal's disposition back at the end of a test.
class Disposition {
public:
    explicit Disposition(int signal, void (*handler)(int)) : m_signal(signal)
    {
        ::sigaction(signal, nullptr, &m_saved);
        ::signal(signal, handler);
    }
    ~Disposition() { ::sigaction(m_signal, &m_saved, nullptr); }

private:
    int m_signal;
    struct sigaction m_saved {};
};

void Sentinel(int) {}

} // namespace

TEST(EndSignals, EachSignalReachesTheEventLoopOnceAndTheProcessLivesOn)
{
    for (const int signal : plat::EndSignals::kSignals) {
        SCOPED_TRACE(strsignal(signal));
        Disposition own(signal, Sentinel);
        int ends = 0;
        {
            plat::EndSignals endSignals([&] { ++ends; });
            ASSERT_EQ(::raise(signal), 0);
            EXPECT_EQ(ends, 0) << "not from inside the handler";
            TakeWaitingEvents();
            EXPECT_EQ(ends, 1);
            // Two that come before the loop runs are one request.
            ::raise(signal);
            ::raise(signal);
            TakeWaitingEvents();
            EXPECT_EQ(ends, 2);
        }
        struct sigaction now {};
        ::sigaction(signal, nullptr, &now);
        EXPECT_EQ(now.sa_handler, &Sentinel) << "the previous handler is back";
    }
}

TEST(EndSignals, ASignalNotYetPassedOnIsDeliveredOnRequestAndOnlyOnce)
{
    Disposition own(SIGTERM, Sentinel);
    int ends = 0;
    plat::EndSignals endSignals([&] { ++ends; });
    EXPECT_FALSE(endSignals.Deliver());
    ::raise(SIGTERM);
    EXPECT_TRUE(endSignals.Deliver());
    EXPECT_EQ(ends, 1);
    TakeWaitingEvents();
    EXPECT_EQ(ends, 1);
}

TEST(EndSignals, AHangUpIgnoredBeforehandStaysIgnored)
{
    Disposition nohup(SIGHUP, SIG_IGN);
    int ends = 0;
    {
        plat::EndSignals endSignals([&] { ++ends; });
        ::raise(SIGHUP);
        TakeWaitingEvents();
        EXPECT_EQ(ends, 0);
    }
    struct sigaction now {};
    ::sigaction(SIGHUP, nullptr, &now);
    EXPECT_EQ(now.sa_handler, SIG_IGN);
}

TEST(EndSignals, SignalsFromAnEarlierObjectAreNotPassedToTheNextOne)
{
    Disposition own(SIGINT, Sentinel);
    int first = 0, second = 0;
    {
        plat::EndSignals endSignals([&] { ++first; });
        ::raise(SIGINT);   // the object goes before its loop runs
    }
    plat::EndSignals endSignals([&] { ++second; });
    TakeWaitingEvents();
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 0);
}

TEST(EndSignals, ASignalBeforeAnyoneListensIsKeptForTheListener)
{
    Disposition own(SIGTERM, Sentinel);
    int ends = 0;
    plat::EndSignals endSignals;
    ASSERT_EQ(::raise(SIGTERM), 0);   // caught: the process lives on
    TakeWaitingEvents();
    endSignals.Listen([&] { ++ends; });
    TakeWaitingEvents();
    EXPECT_EQ(ends, 1);
    // Once nobody listens, a signal waits for whoever asks.
    endSignals.Listen(nullptr);
    ::raise(SIGTERM);
    TakeWaitingEvents();
    EXPECT_EQ(ends, 1);
    EXPECT_TRUE(endSignals.Deliver());
    EXPECT_FALSE(endSignals.Deliver());
}
