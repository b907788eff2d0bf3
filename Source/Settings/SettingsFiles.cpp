#include "Settings/SettingsFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamReader>

#include <cstring>

#include "Engine/LogCheck.h"

namespace settings {

bool WriteFileAtomically(const QString& path, const QByteArray& content)
{
    QSaveFile file(path);
    bool bRetCode = file.open(QIODevice::WriteOnly);
    if (bRetCode)
        bRetCode = file.write(content) == content.size();
    // The program reads these files with its rights: nobody else may change them,
    // whatever the umask.
    if (bRetCode)
        bRetCode = file.setPermissions(file.permissions() & ~(QFileDevice::WriteGroup | QFileDevice::WriteOther));
    // commit() would swap the file in even when its own flush of the buffered text
    // failed (a full disk): the earlier file would be lost to a cut one.
    if (bRetCode)
        bRetCode = file.flush() && file.commit();
    else
        file.cancelWriting();
    if (!bRetCode)
        g_Log.Write(ltError, "Cannot write %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
    return bRetCode;
}

namespace {
DeferredLog* g_pDeferredLog = nullptr;
constexpr int kAsideNames = 9;

void WriteLine(int type, const QByteArray& line)
{
    g_Log.Write(static_cast<LOG_TYPE>(type), "%s", line.constData());
    DeferredLog::Keep(type, line);
}
} // namespace

DeferredLog::DeferredLog() { g_pDeferredLog = this; }

DeferredLog::~DeferredLog()
{
    if (g_pDeferredLog == this)
        g_pDeferredLog = nullptr;
}

void DeferredLog::Write()
{
    if (g_pDeferredLog == this)
        g_pDeferredLog = nullptr;
    for (const auto& [type, line] : m_Lines)
        g_Log.Write(static_cast<LOG_TYPE>(type), "%s", line.constData());
    m_Lines.clear();
}

void DeferredLog::Keep(int type, const QByteArray& line)
{
    if (g_pDeferredLog)
        g_pDeferredLog->m_Lines.emplace_back(type, line);
}

bool SetFileAside(const QString& path)
{
    if (!QFile::exists(path))
        return true;
    for (int n = 1; n <= kAsideNames; ++n) {
        const QString aside = path + QStringLiteral(".bad") + (n > 1 ? QString::number(n) : QString());
        const QFileInfo info(aside);
        // An older file gives way; a folder of that name is left alone.
        if (info.isDir() && !info.isSymLink())
            continue;
        QFile::remove(aside);
        if (QFile::rename(path, aside)) {
            WriteLine(ltWarning, QStringLiteral("%1 could not be read; it was kept as %2.\n").arg(path, aside).toLocal8Bit());
            return true;
        }
    }
    WriteLine(ltError, QStringLiteral("%1 could not be read, and could not be set aside; it is left as it is, and nothing "
                                      "is saved over it.\n").arg(path).toLocal8Bit());
    return false;
}

bool IsShallowXml(const QByteArray& document)
{
    QXmlStreamReader reader(document);
    reader.setNamespaceProcessing(false);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > kMaxXmlDepth)
            return false;
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return true;
}

void CopyText(char* field, size_t size, QStringView text)
{
    if (size == 0)
        return;
    const QByteArray bytes = text.toUtf8();
    size_t length = std::min(static_cast<size_t>(bytes.size()), size - 1);
    // Never cut a multi-byte character in half: step back over continuation bytes.
    if (length < static_cast<size_t>(bytes.size()))
        while (length > 0 && (static_cast<unsigned char>(bytes[length]) & 0xC0) == 0x80)
            --length;
    std::memcpy(field, bytes.constData(), length);
    field[length] = 0;
}

int ToInt(QStringView text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : 0;
}

} // namespace settings

bool CXmlHandler::Parse(QIODevice* device)
{
    QXmlStreamReader reader(device);
    reader.setNamespaceProcessing(false);
    QString text;
    int depth = 0;
    // The text collected so far belongs to the element opened last.
    auto flush = [&]() {
        if (text.isEmpty())
            return true;
        const bool ok = characters(text);
        text.clear();
        return ok;
    };
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth > settings::kMaxXmlDepth)
                return false;
            if (!flush() || !startElement(reader.qualifiedName().toString(), reader.attributes()))
                return false;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            if (!flush() || !endElement(reader.qualifiedName().toString()))
                return false;
            break;
        case QXmlStreamReader::Characters:
            text += reader.text();
            break;
        default:
            break;
        }
    }
    return !reader.hasError();
}

namespace settings {

FileRead ReadXmlFile(const QString& path, CXmlHandler& handler)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) && !file.exists())
        return FileRead::Missing;
    if (file.isOpen() && handler.Parse(&file))
        return FileRead::Read;
    file.close();
    return SetFileAside(path) ? FileRead::Failed : FileRead::Kept;
}

} // namespace settings
