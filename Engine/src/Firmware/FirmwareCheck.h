#pragma once
// Check lines whose text names the condition as the firmware code has always spelled it,
// where our expression reads differently (a connection test, an array's data pointer).
#include "Engine/LogCheck.h"

#define LOG_PROCESS_ERROR_AS(cond, text, ret) \
    do { if (!(cond)) { LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", text); return (ret); } } while (0)
