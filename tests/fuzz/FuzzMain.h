#pragma once
// The fuzz targets' own main, for builds without libFuzzer: runs the given files,
// or N pseudo-random inputs (--runs N, --seed S) of up to maxLength bytes.
#include <QCoreApplication>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fuzz {

// start (if any) runs once, after the application object exists.
inline int Main(int argc, char** argv, size_t maxLength, void (*start)() = nullptr)
{
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
        else
            files.push_back(a);
    }
    for (const std::string& f : files) {
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
        buffer.resize(random() % maxLength);
        for (uint8_t& b : buffer)
            b = uint8_t(random());
        LLVMFuzzerTestOneInput(buffer.data(), buffer.size());
    }
    std::printf("%ld inputs ran clean\n", runs);
    return 0;
}

} // namespace fuzz
