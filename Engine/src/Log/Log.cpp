#include "Engine/Log.h"
#include "Platform/Diagnostics.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

CLog g_Log;

namespace {
// The stand-ins' own diagnostics land in this log too.
void WriteDiagnostic(int type, const char* line) { g_Log.Write(static_cast<LOG_TYPE>(type), "%s", line); }
const bool g_diagnosticsRouted = (plat::SetDiagnosticSink(&WriteDiagnostic), true);
}

namespace {

std::atomic<ILogObserver*> g_observer{nullptr};

const size_t kLineSize = 1024;

bool MakeFolder(const char* path) { return mkdir(path, 0755) == 0 || errno == EEXIST; }

std::tm LocalNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return tm;
}

} // namespace

CLog::CLog()
    : m_nLineCount(0), m_nLinesPerFile(0), m_nTypeMask(0), m_nOutputMask(0), m_pFile(nullptr)
{
    m_szName[0] = 0;
}

CLog::~CLog() { UnInit(); }

void CLog::SetObserver(ILogObserver* observer) { g_observer.store(observer); }

bool CLog::Init(const char* name, int typeMask, int outputMask, int linesPerFile)
{
    // The name becomes a folder and a file name under ./Logs: it must stay there.
    if (!name || !*name || std::strchr(name, '/') || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
        return false;
    if (linesPerFile < 1)
        return false;
    UnInit();
    m_nLineCount = 0;
    std::strncpy(m_szName, name, sizeof m_szName - 1);
    m_szName[sizeof m_szName - 1] = 0;
    m_nTypeMask = typeMask;
    m_nOutputMask = outputMask;
    m_nLinesPerFile = linesPerFile;
    return true;
}

bool CLog::UnInit()
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_pFile) {
        fclose(m_pFile);
        m_pFile = nullptr;
    }
    return true;
}

bool CLog::Write(LOG_TYPE type, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    WriteV(type, format, args);
    va_end(args);
    return true;
}

bool CLog::WriteV(LOG_TYPE type, const char* format, va_list args)
{
    if ((type & m_nTypeMask) == 0)
        return true;

    char line[kLineSize];
    const std::tm tm = LocalNow();
    int length = snprintf(line, sizeof line, "%2.2d%2.2d-%2.2d%2.2d%2.2d<%d>: ", tm.tm_mon + 1, tm.tm_mday,
                          tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(type));
    const int written = vsnprintf(line + length, sizeof line - length, format ? format : "", args);
    // vsnprintf reports the length it would have needed: clamp to what the buffer holds.
    if (written > 0)
        length = std::min<int>(length + written, static_cast<int>(sizeof line) - 1);
    if (length == 0 || (line[length - 1] != '\n' && line[length - 1] != '\r')) {
        if (length < static_cast<int>(sizeof line) - 1)
            ++length;
        line[length - 1] = '\n';
        line[length] = 0;
    }

    if (ILogObserver* observer = g_observer.load())
        observer->OnLogLine(type, line);
    if (m_nOutputMask & LOG_OUTPUT_STDOUT)
        fputs(line, stdout);
    if (m_nOutputMask & LOG_OUTPUT_STDERR)
        fputs(line, stderr);
    if (m_nOutputMask & LOG_OUTPUT_FILE)
        _WriteToFile(line, static_cast<size_t>(length));
    return true;
}

void CLog::_WriteToFile(const char* line, size_t length)
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if ((m_nLineCount % m_nLinesPerFile == 0 || m_bNewFile) && !_OpenNextFile())
        fputs("Warning : cannot create log file!\n", stderr);
    if (m_pFile) {
        if (fwrite(line, 1, length, m_pFile) < length)
            fputs("Warning : error occurs when writing to log file, please check remain capacity of your hard disk!\n",
                  stderr);
        // Each line reaches the disk before Write returns.
        fflush(m_pFile);
        fsync(fileno(m_pFile));
    }
    ++m_nLineCount;
}

void CLog::StartNewFile()
{
    std::lock_guard<std::mutex> lock(m_Lock);
    if (m_pFile) {
        fclose(m_pFile);
        m_pFile = nullptr;
        m_bNewFile = true;
    }
}

bool CLog::_OpenNextFile()
{
    m_bNewFile = false;
    if (m_pFile) {
        fclose(m_pFile);
        m_pFile = nullptr;
    }
    const std::tm tm = LocalNow();
    char folder[600];
    char path[900];
    if (!MakeFolder("./Logs"))
        return false;
    snprintf(folder, sizeof folder, "%s/%s", "./Logs", m_szName);
    if (!MakeFolder(folder))
        return false;
    snprintf(folder + strlen(folder), sizeof folder - strlen(folder), "/%d_%2.2d_%2.2d", tm.tm_year + 1900,
             tm.tm_mon + 1, tm.tm_mday);
    if (!MakeFolder(folder))
        return false;
    snprintf(path, sizeof path, "%s/%s_%d_%2.2d_%2.2d_%2.2d_%2.2d_%2.2d_%6.6d.log", folder, m_szName,
             tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, m_nLineCount);
    m_pFile = fopen(path, "wb");
    return m_pFile != nullptr;
}
