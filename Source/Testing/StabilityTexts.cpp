#include "Testing/StabilityTexts.h"

#include <QtGlobal>

const char* const g_TestCaseName[tctTotal] = {
    QT_TRANSLATE_NOOP("QStabilityTest", "Invalid test case"),
    QT_TRANSLATE_NOOP("QStabilityTest", "CPU Test"),
    QT_TRANSLATE_NOOP("QStabilityTest", "FPU Test"),
    QT_TRANSLATE_NOOP("QStabilityTest", "GPU Test"),
    QT_TRANSLATE_NOOP("QStabilityTest", "MCA Test"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Calculation Test"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Memory Test"),
    QT_TRANSLATE_NOOP("QStabilityTest", "GPU Stream Test"),
};

const char* const g_TestCaseDescription[tctTotal] = {
    QT_TRANSLATE_NOOP("QStabilityTest", "Invalid test case"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Test integer calculation and stack operation"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Test floating point calculation"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Test GPU"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Check MCA registers"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Calculation Test"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Test memory read & write"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Test GPU stream calculation"),
};

const char* const g_ErrorMessageText[emcTotal] = {
    QT_TRANSLATE_NOOP("QStabilityTest", "Invalid error message"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Unexpected result"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Unexpected sum"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Failed to write to temp file"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Failed to read from temp file"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Illegal sumeout"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Unexpected rounding result"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Possible hardware failure"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Hardware failure detected"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Maximum number of warnings exceeded"),
    QT_TRANSLATE_NOOP("QStabilityTest", "Cannot initialize FFT code"),
    QT_TRANSLATE_NOOP("QStabilityTest", "An error occurs in integer calculation"),
    QT_TRANSLATE_NOOP("QStabilityTest", "An error occurs in unsigned integer calculation"),
    QT_TRANSLATE_NOOP("QStabilityTest", "An error occurs in recursive function call"),
    QT_TRANSLATE_NOOP("QStabilityTest", "An error occurs in the Taylor Series expansion of 1/(1-x) function"),
    QT_TRANSLATE_NOOP("QStabilityTest", "An error occurs in the Taylor Series expansion of e^x function"),
    QT_TRANSLATE_NOOP("QStabilityTest", "An error occurs in the Taylor Series expansion of sin(x) function"),
    QT_TRANSLATE_NOOP("QStabilityTest", "An error occurs in the Taylor Series expansion of cos(x) function"),
    QT_TRANSLATE_NOOP("QStabilityTest", "An error occurs in the Taylor Series expansion of arctan(x) function"),
    QT_TRANSLATE_NOOP("QStabilityTest", "An error occurs in the Taylor Series expansion of sin(x^2) function"),
    QT_TRANSLATE_NOOP("QStabilityTest", "An error occurs in the Taylor Series expansion of sin^2(x) function"),
    QT_TRANSLATE_NOOP("QStabilityTest",
                      "An error occurs in the Taylor Series expansion of sin^2(x) + cos^2(x) function"),
    QT_TRANSLATE_NOOP("QStabilityTest", "An error occurs in calculation test"),
    QT_TRANSLATE_NOOP("QStabilityTest", "MCA Error"),
    QT_TRANSLATE_NOOP("QStabilityTest", "An error occurs in memory allocation"),
    QT_TRANSLATE_NOOP("QStabilityTest", "An error occurs in memory test"),
    QT_TRANSLATE_NOOP("QStabilityTest", "An error occurs in GPU 2D/3D test"),
    QT_TRANSLATE_NOOP("QStabilityTest", "An error occurs in GPU stream test"),
};
