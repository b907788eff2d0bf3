#pragma once
// The fuzz targets' own main, for builds without libFuzzer: runs the given files,
// or N pseudo-random inputs (--runs N, --seed S) of up to maxLength bytes. Each target
// also has seeds, well-formed inputs built from the test fixtures and the default
// board: --write-seeds DIR writes them (the corpus a coverage-guided run starts from),
// --check-seeds runs them and fails when one stops at its format's first checks.
// SIGTERM, SIGINT or SIGHUP ends a run after the input under way: main returns (with
// 128 + the signal's number), so the target's temporary folders go as after any run.
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fuzz {

using Seeds = std::vector<std::pair<std::string, QByteArray>>;

// The end signal that arrived, or 0.
inline volatile std::sig_atomic_t g_endSignal = 0;
inline void NoteEndSignal(int signal) { g_endSignal = signal; }

// From here on an end signal only asks the run to stop. A hang-up ignored already
// (nohup) stays ignored.
inline void CatchEndSignals()
{
    struct sigaction action {};
    action.sa_handler = NoteEndSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        struct sigaction previous {};
        if (::sigaction(signal, nullptr, &previous) == 0 && !(signal == SIGHUP && previous.sa_handler == SIG_IGN))
            ::sigaction(signal, &action, nullptr);
    }
}

inline int Ended() { return 128 + g_endSignal; }

// Set by a target when the input it ran got past its format's first checks.
inline bool g_reached = false;
inline void Reached() { g_reached = true; }

// A file of the test fixtures.
inline QByteArray Fixture(const char* path)
{
    QFile file(QStringLiteral(VELOCREST_FIXTURES "/") + QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "missing fixture %s\n", path);
        std::abort();
    }
    return file.readAll();
}

inline int RunSeeds(const Seeds& seeds, const char* writeTo)
{
    if (writeTo) {
        QDir().mkpath(QString::fromLocal8Bit(writeTo));
        for (const auto& [name, bytes] : seeds) {
            QFile file(QString::fromLocal8Bit(writeTo) + QLatin1Char('/') + QString::fromStdString(name));
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                return 2;
        }
        std::printf("%zu seeds written\n", seeds.size());
        return 0;
    }
    int shallow = 0;
    for (const auto& [name, bytes] : seeds) {
        if (g_endSignal)
            return Ended();
        g_reached = false;
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
        if (!g_reached) {
            std::printf("seed %s stops at the first checks\n", name.c_str());
            ++shallow;
        }
    }
    std::printf("%zu seeds, %d of them shallow\n", seeds.size(), shallow);
    return seeds.empty() || shallow ? 1 : 0;
}

// start (if any) runs once, after the application object exists; seeds (if any)
// builds the target's seeds after it.
inline int Main(int argc, char** argv, size_t maxLength, void (*start)() = nullptr, Seeds (*seeds)() = nullptr)
{
    // First of all: a signal during the start must not end the process before it cleans up.
    CatchEndSignals();
    QCoreApplication app(argc, argv);
    if (start)
        start();
    long runs = 100000;
    uint64_t seed = 1;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--runs" && i + 1 < argc)
            runs = std::atol(argv[++i]);
        else if (a == "--seed" && i + 1 < argc)
            seed = std::strtoull(argv[++i], nullptr, 10);
        else if ((a == "--write-seeds" && i + 1 < argc) || a == "--check-seeds")
            return RunSeeds(seeds ? seeds() : Seeds{}, a == "--check-seeds" ? nullptr : argv[++i]);
        else
            files.push_back(a);
    }
    for (const std::string& f : files) {
        if (g_endSignal)
            return Ended();
        QFile file(QString::fromStdString(f));
        if (!file.open(QIODevice::ReadOnly))
            return 2;
        const QByteArray bytes = file.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    }
    if (!files.empty())
        return 0;
    std::mt19937_64 random(seed);
    std::vector<uint8_t> buffer;
    for (long r = 0; r < runs; ++r) {
        if (g_endSignal)
            return Ended();
        buffer.resize(random() % maxLength);
        for (uint8_t& b : buffer)
            b = uint8_t(random());
        LLVMFuzzerTestOneInput(buffer.data(), buffer.size());
    }
    std::printf("%ld inputs ran clean\n", runs);
    return 0;
}

} // namespace fuzz
