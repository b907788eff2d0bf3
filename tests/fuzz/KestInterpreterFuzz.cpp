// Runs the video BIOS command-table interpreter on arbitrary images: no input may
// crash, hang, or read or write out of bounds. LLVMFuzzerTestOneInput works with
// libFuzzer; without it, main runs N pseudo-random inputs (--runs N, --seed S) or
// the given files.
#include "FuzzMain.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "Engine/KestBIOS.h"
#include "VirtualBoard/Clock.h"
#include "VirtualBoard/GraphicsChip.h"
#include "VirtualBoard/Machine.h"

namespace {

class Bank final : public IKestRegisterWindow {
public:
    uint32_t ReadRegisterCallback(uint32_t number) override { return number < kWords ? regs[number] : 0xDEAD; }
    void WriteRegisterCallback(uint32_t number, uint32_t value) override
    {
        if (number >= kWords)
            std::abort();                        // the interpreter must have refused it
        regs[number] = value;
    }
    static constexpr uint32_t kWords = kest::kRegisterWindowSize / 4;
    std::vector<uint32_t> regs = std::vector<uint32_t>(kWords, 0);
};

void Put16(std::vector<uint8_t>& image, size_t at, uint32_t value)
{
    image[at] = uint8_t(value);
    image[at + 1] = uint8_t(value >> 8);
}

// Byte 0 of the input: bit 0 picks the form, the bits above it the command table.
// Form 1: the rest is the image itself, and the table any of its 128.
// Form 0: the rest fills tables of a well-formed skeleton (so most inputs reach the
// byte code rather than failing at the lists), and the table is one of its four.
uint32_t Table(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 1;
    return (data[0] & 1) ? data[0] >> 1 : 1 + (data[0] >> 1) % 4;
}

std::vector<uint8_t> Image(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> image(kest::kImageSize, 0);
    if (size == 0)
        return image;
    if (data[0] & 1) {
        std::memcpy(image.data(), data + 1, std::min(size - 1, image.size()));
        return image;
    }
    Put16(image, 0x48, 0x200);
    Put16(image, 0x200 + 0x1E, 0x300);
    Put16(image, 0x200 + 0x20, 0x400);
    // Command tables 1..4 and data tables 4, 5 and 23 share the input's bytes.
    const size_t start = 0x1000;
    const size_t n = std::min(size - 1, image.size() - start);
    std::memcpy(image.data() + start, data + 1, n);
    const uint8_t selector = data[0];
    for (uint32_t i = 1; i <= 4; ++i)
        Put16(image, 0x300 + 4 + 2 * i, uint32_t(start + (i - 1) * (n / 4)));
    Put16(image, 0x400 + 4 + 2 * 23, uint32_t(start + (selector >> 4) * (n / 16)));
    Put16(image, 0x400 + 4 + 2 * 5, uint32_t(start + n / 2));
    return image;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static vb::ManualClock clock;
    static const bool installed = (vb::SetClock(&clock), true);
    (void)installed;
    const std::vector<uint8_t> image = Image(data, size);
    Bank bank;
    std::vector<uint32_t> space(16, 0x5A5A5A5A);
    KESTBIOS_PARAMETERS params;
    params.pParameterSpace = space.data();
    params.uParameterWords = static_cast<uint32_t>(space.size());
    CKestInterpreter interpreter(image.data(), image.size(), bank);
    interpreter.SetInstructionBudget(20000);
    const uint32_t result = interpreter.ExecuteCommandTable(Table(data, size), &params);
    if (result != 0 && result != 129 && result != 130 && result != 131 && result != 135)
        std::abort();
    if (result == kest::kResultSuccess)
        fuzz::Reached();
    return 0;
}

// Seeds: each command table of the default board's video BIOS, run in its image.
[[maybe_unused]] static fuzz::Seeds Seeds()
{
    const std::vector<uint8_t>& image = vb::Machine::Instance().Get<vb::GraphicsChip>().VideoBios();
    // The harness fills the rest of the image with zeros: the seeds need not carry them.
    size_t used = image.size();
    while (used > 0 && image[used - 1] == 0)
        --used;
    fuzz::Seeds seeds;
    for (const uint8_t table : {10, 11, 47, 48, 60}) {
        QByteArray input(1, static_cast<char>(table << 1 | 1));
        input.append(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(used));
        seeds.emplace_back("board-table-" + std::to_string(table), input);
    }
    return seeds;
}

#ifndef VELOCREST_LIBFUZZER
int main(int argc, char** argv) { return fuzz::Main(argc, argv, 2048, nullptr, &Seeds); }
#endif
