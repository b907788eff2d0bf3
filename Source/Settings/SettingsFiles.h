#pragma once
// What the settings stores share: atomic writes, fixed-size 8-bit text fields, and
// reading XML the way the old SAX handlers did (an unreadable file is set aside,
// plat::SetFileAside).
#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstddef>

class QDateTime;
class QIODevice;
class QXmlStreamAttributes;

namespace settings {

// Writes the whole file or nothing (QSaveFile); false, with one log line, when it fails.
bool WriteFileAtomically(const QString& path, const QByteArray& content);

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
// opened or parsed, and has been set aside (see plat::SetFileAside) as keptAs, when
// given, in place of a copy last changed at gaveWay when all names were taken; Kept:
// the same, but it could not be set aside and must not be saved over.
FileRead ReadXmlFile(const QString& path, CXmlHandler& handler, QString* keptAs = nullptr, QDateTime* gaveWay = nullptr);

} // namespace settings
