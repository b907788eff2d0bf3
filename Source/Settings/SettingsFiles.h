#pragma once
// What the settings stores share: atomic writes, setting an unreadable file aside,
// fixed-size 8-bit text fields, and reading XML the way the old SAX handlers did.
#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstddef>
#include <utility>
#include <vector>

class QIODevice;
class QXmlStreamAttributes;

namespace settings {

// Writes the whole file or nothing (QSaveFile); false, with one log line, when it fails.
bool WriteFileAtomically(const QString& path, const QByteArray& content);

// Renames an unreadable file to "<path>.bad" (an older file of that name gives way;
// when a folder has the name, the next free "<path>.bad2", ...), so the user's data is
// never lost; one log line. False when the file stays where it is: then nothing may be
// saved over it.
bool SetFileAside(const QString& path);

// While one lives, the lines about files set aside are also kept, to be written once
// the log is open (the preferences are read before it is). GUI thread only.
class DeferredLog {
public:
    DeferredLog();
    ~DeferredLog();
    DeferredLog(const DeferredLog&) = delete;
    DeferredLog& operator=(const DeferredLog&) = delete;
    // Writes the kept lines to the log and keeps no more.
    void Write();
    // Used by SetFileAside: the one kept now, if any, takes the line.
    static void Keep(int type, const QByteArray& line);
private:
    std::vector<std::pair<int, QByteArray>> m_Lines;
};

// The deepest element nesting a settings file may have. The program writes at most
// four levels; a file nested far deeper is damaged (and would cost time and stack).
constexpr int kMaxXmlDepth = 16;
// Whether the document's elements nest no deeper than kMaxXmlDepth (well-formedness
// is left to the reader that follows).
bool IsShallowXml(const QByteArray& document);

// Copies text into a fixed 8-bit (UTF-8) field, cut to size - 1 bytes on a
// character boundary, and always terminated.
void CopyText(char* field, size_t size, QStringView text);
template <size_t N>
void CopyText(char (&field)[N], QStringView text) { CopyText(field, N, text); }

// A decimal integer as the stores read it: text that is no number counts as 0.
int ToInt(QStringView text);

} // namespace settings

// The callbacks of the SAX-style reading the preference and page files use:
// element names at any depth up to settings::kMaxXmlDepth, the text of an element
// delivered before its next tag; any reader error, or a deeper element, ends the
// parse with failure.
class CXmlHandler {
public:
    virtual ~CXmlHandler() = default;
    virtual bool startElement(const QString& qName, const QXmlStreamAttributes& attributes) = 0;
    virtual bool endElement(const QString& qName) = 0;
    virtual bool characters(const QString& text) = 0;

    // Reads the whole device; false on a reader error or when a callback refuses.
    bool Parse(QIODevice* device);
};

namespace settings {

enum class FileRead { Read, Missing, Failed, Kept };

// Reads a settings file through handler. Failed: the file exists but could not be
// opened or parsed, and has been set aside (see SetFileAside); Kept: the same, but it
// could not be set aside and must not be saved over.
FileRead ReadXmlFile(const QString& path, CXmlHandler& handler);

} // namespace settings
