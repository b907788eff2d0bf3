// Fuzz target: arbitrary request codes and records against the simulated
// driver's decoding. Input: byte 0 picks the request (0..15, 15 is unknown),
// bytes 1..2 the output buffer size, the rest is the record.
#include <QByteArray>
#include <QDir>
#include <QFileInfo>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "VirtualBoard/KernelDriver.h"
#include "VirtualBoard/Machine.h"
#include "FuzzMain.h"

namespace {

vb::Machine& Board() { return vb::Machine::Instance(); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    vb::Machine& machine = Board();
    vb::KernelDriver& driver = machine.Get<vb::KernelDriver>();
    const uint32_t code = vb::KernelDriver::Code(data[0] % 16);
    const uint32_t outLength = uint32_t(data[1] | data[2] << 8);
    std::vector<uint8_t> in(data + 3, data + size);
    std::vector<uint8_t> out(outLength);
    uint32_t returned = 0;
    const bool ok = driver.Control(code, in.data(), static_cast<uint32_t>(in.size()), out.data(), outLength, &returned);
    if (returned > outLength || (!ok && returned != 0))
        abort();
    if (ok)
        fuzz::Reached();
    // Keep what the requests leave behind bounded: a fresh board now and then.
    static unsigned runs = 0;
    if (++runs % 4096 == 0 || driver.LiveMappings() > 8 || driver.LiveAllocations() > 64)
        machine.LoadDefault();
    return 0;
}

// Seeds: one well-formed record per request, kept beside the targets.
[[maybe_unused]] static fuzz::Seeds Seeds()
{
    fuzz::Seeds seeds;
    for (const QFileInfo& file : QDir(QStringLiteral(VELOCREST_FUZZ_CORPUS)).entryInfoList(QDir::Files, QDir::Name)) {
        QFile f(file.filePath());
        if (f.open(QIODevice::ReadOnly))
            seeds.emplace_back(file.fileName().toStdString(), f.readAll());
    }
    return seeds;
}

#ifndef VELOCREST_LIBFUZZER
int main(int argc, char** argv) { return fuzz::Main(argc, argv, 4200, nullptr, &Seeds); }
#endif
