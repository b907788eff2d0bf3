#pragma once
// The one log of the whole system: the Engine writes every failed check through it,
// and the program writes its own messages through the same object, g_Log.
#include <cstdio>
#include <mutex>

enum LOG_TYPE {
    ltError = 1,
    ltWarning = 2,
    ltInfo = 4,
};

class ILog {
public:
    virtual ~ILog() = default;
    virtual bool Write(LOG_TYPE type, const char* format, ...) __attribute__((format(printf, 3, 4))) = 0;
};

// Sees every line that passes the type mask, whatever the outputs. Tests read the
// log through one.
class ILogObserver {
public:
    virtual ~ILogObserver() = default;
    virtual void OnLogLine(int type, const char* line) = 0;
};

class CLog : public ILog {
public:
    enum { LOG_OUTPUT_STDOUT = 1, LOG_OUTPUT_STDERR = 2, LOG_OUTPUT_FILE = 4 };

    CLog();
    ~CLog() override;
    CLog(const CLog&) = delete;
    CLog& operator=(const CLog&) = delete;

    // False when name is null or unusable as a folder name, or linesPerFile < 1.
    // A file still open from an earlier Init is closed first.
    bool Init(const char* name, int typeMask, int outputMask, int linesPerFile);
    bool Write(LOG_TYPE type, const char* format, ...) override __attribute__((format(printf, 3, 4)));
    bool WriteV(LOG_TYPE type, const char* format, va_list args);
    bool UnInit();
    // Closes the current file; the next line opens a new one (after the log folder
    // was cleared, lines would otherwise go to a file that no longer exists).
    void StartNewFile();

    static void SetObserver(ILogObserver* observer);

private:
    void _WriteToFile(const char* line, size_t length);
    bool _OpenNextFile();

    char m_szName[256];
    int m_nLineCount;
    int m_nLinesPerFile;
    int m_nTypeMask;
    int m_nOutputMask;
    bool m_bNewFile = false;
    std::mutex m_Lock;
    FILE* m_pFile;
};

extern CLog g_Log;
