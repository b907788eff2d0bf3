#pragma once
// The words of the Stability Test page: the name and description of each test-case
// type and the text of each error code. Stored untranslated (plain literals, safe
// before main) and translated at each use in the page's context, "QStabilityTest".
#include "QVXLogic/Types.h"

extern const char* const g_TestCaseName[tctTotal];
extern const char* const g_TestCaseDescription[tctTotal];
extern const char* const g_ErrorMessageText[emcTotal];
