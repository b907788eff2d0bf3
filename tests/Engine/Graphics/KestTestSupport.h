#pragma once
// Runs command tables written with the byte-code assembler against a plain bank of
// registers, so each test reads as a small program.
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Engine/KestBIOS.h"
#include "VirtualBoard/KestAssembler.h"

namespace kesttest {

class RegisterBank final : public IKestRegisterWindow {
public:
    uint32_t ReadRegisterCallback(uint32_t number) override
    {
        reads.push_back(number);
        return regs.count(number) ? regs[number] : 0;
    }
    void WriteRegisterCallback(uint32_t number, uint32_t value) override
    {
        writes.emplace_back(number, value);
        regs[number] = value;
    }
    std::map<uint32_t, uint32_t> regs;
    std::vector<uint32_t> reads;
    std::vector<std::pair<uint32_t, uint32_t>> writes;
};

struct Runner {
    // A command table from assembler text (workspace bytes, parameter words).
    void Table(uint32_t index, const std::string& text, uint8_t workspaceBytes = 16, uint8_t parameterWords = 0)
    {
        std::string error;
        ASSERT_TRUE(image.AddCommandTable(index, text, workspaceBytes, parameterWords, &error)) << error;
    }
    uint32_t Run(uint32_t index = 1, uint64_t budget = kest::kDefaultInstructionBudget)
    {
        bytes = image.Build();
        CKestInterpreter interpreter(bytes.data(), bytes.size(), regs);
        interpreter.SetInstructionBudget(budget);
        KESTBIOS_PARAMETERS params;
        params.pParameterSpace = space.data();
        params.uParameterWords = static_cast<uint32_t>(space.size());
        const uint32_t result = interpreter.ExecuteCommandTable(index, &params);
        instructions = interpreter.InstructionsRun();
        return result;
    }

    vb::kest::ImageBuilder image{0x1002, 0x9610};
    std::vector<uint8_t> bytes;
    RegisterBank regs;
    std::vector<uint32_t> space = std::vector<uint32_t>(8, 0);
    uint64_t instructions = 0;
};

} // namespace kesttest
