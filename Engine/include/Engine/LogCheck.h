#pragma once
// The check macros shared by every library and the program. A failed check writes
// one error line naming the expression, the line and the function
// ("Class::Method"), then either ends the operation or goes on.
#include <string>

#include "Engine/Log.h"

// "bool CLog::Init(const char*, int, int, int)" -> "CLog::Init".
std::string LogFunctionName(const char* prettyFunction);

// Writes the line of a failed check without acting on it (kind: "LOG_PROCESS_ERROR"...).
#define LOG_WRITE_CHECK_LINE(kind, text) \
    g_Log.Write(ltError, kind "(%s) at line %d in %s\n", text, __LINE__, LogFunctionName(__PRETTY_FUNCTION__).c_str())

// Logs and goes on.
#define LOG_CHECK_ERROR(cond) \
    do { if (!(cond)) LOG_WRITE_CHECK_LINE("LOG_CHECK_ERROR", #cond); } while (0)

// Logs and returns false (the _RET form returns the given value).
#define LOG_PROCESS_ERROR(cond) \
    do { if (!(cond)) { LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", #cond); return false; } } while (0)
#define LOG_PROCESS_ERROR_RET(cond, ret) \
    do { if (!(cond)) { LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR", #cond); return (ret); } } while (0)

// For calls that return a status code, where negative means failure.
#define LOG_COM_PROCESS_ERROR(hr) \
    do { if ((hr) < 0) { LOG_WRITE_CHECK_LINE("LOG_COM_PROCESS_ERROR", #hr); return false; } } while (0)

// Start-up: stores the exit code in the variable named by code_var and returns false.
#define LOG_PROCESS_ERROR_RET_CODE(cond, code_var, code) \
    do { if (!(cond)) { LOG_WRITE_CHECK_LINE("LOG_PROCESS_ERROR_RET_CODE", #cond); (code_var) = (code); return false; } } while (0)

// The line of a failed check that a shared helper makes on its caller's behalf, named
// after the caller (function: "Class::Method").
#define LOG_WRITE_CHECK_LINE_IN(kind, text, function) \
    g_Log.Write(ltError, kind "(%s) at line %d in %s\n", text, __LINE__, function)

// The checks whose line names the given method ("Class::Method"): in a helper, on
// behalf of the operation that called it, or where the logged name is not the C++ one.
#define LOG_CHECK_ERROR_IN(cond, function) \
    do { if (!(cond)) LOG_WRITE_CHECK_LINE_IN("LOG_CHECK_ERROR", #cond, function); } while (0)
#define LOG_PROCESS_ERROR_IN(cond, function) \
    do { if (!(cond)) { LOG_WRITE_CHECK_LINE_IN("LOG_PROCESS_ERROR", #cond, function); return false; } } while (0)
