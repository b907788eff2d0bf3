#include "SystemInfo/InstructionSets.h"

QString InstructionSetText(const INSTRUCTION_SET_INFO& set)
{
    QString text;
    // An extended flag only says "(+)" after its base extension.
    const auto withExtension = [&text](uint8_t base, uint8_t extended, const QString& name) {
        if (base)
            text += name + (extended ? QStringLiteral("(+), ") : QStringLiteral(", "));
    };
    withExtension(set.bMMX, set.bMMXExt, QStringLiteral("MMX"));
    withExtension(set.b3DNow, set.b3DNowExt, QStringLiteral("Vexlo!\u2122"));
    const std::pair<uint8_t, const char*> flags[] = {
        {set.bSSE, "SSE"}, {set.bSSE2, "SSE2"}, {set.bSSE3, "SSE3"}, {set.bSSE4A, "SSE4A"}, {set.bX86_64, "x86-64"}};
    for (const auto& [flag, name] : flags)
        if (flag)
            text += QLatin1String(name) + QStringLiteral(", ");
    text.chop(2);   // the last ", "; nothing when the text is empty
    return text;
}
