#pragma once
// The processor's instruction-set extensions as one line of text:
// "MMX(+), Vexlo!™(+), SSE, SSE2, SSE3, SSE4A, x86-64" when every flag is set.
#include <QString>

#include "QVXLogic/Records.h"

QString InstructionSetText(const INSTRUCTION_SET_INFO& set);
