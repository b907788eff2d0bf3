#pragma once
// What the settings stores share: atomic writes, setting an unreadable file aside,
// fixed-size 8-bit text fields, and reading XML the way the old SAX handlers did.
#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstddef>

class QIODevice;
class QXmlStreamAttributes;

namespace settings {

// Writes the whole file or nothing (QSaveFile); false, with one log line, when it fails.
bool WriteFileAtomically(const QString& path, const QByteArray& content);

// Renames an unreadable file to "<path>.bad" (an older one of that name gives way),
// so the user's data is never lost; one log line. False when the file stays.
bool SetFileAside(const QString& path);

// Copies text into a fixed 8-bit (UTF-8) field, cut to size - 1 bytes on a
// character boundary, and always terminated.
void CopyText(char* field, size_t size, QStringView text);
template <size_t N>
void CopyText(char (&field)[N], QStringView text) { CopyText(field, N, text); }

// A decimal integer as the stores read it: text that is no number counts as 0.
int ToInt(QStringView text);

} // namespace settings

// The callbacks of the SAX-style reading the preference and page files use:
// element names at any depth, the text of an element delivered before its next
// tag, any reader error ends the parse with failure.
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

enum class FileRead { Read, Missing, Failed };

// Reads a settings file through handler. Failed: the file exists but could not be
// opened or parsed, and has been set aside (see SetFileAside).
FileRead ReadXmlFile(const QString& path, CXmlHandler& handler);

} // namespace settings
