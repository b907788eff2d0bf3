#include "Settings/SettingsFiles.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>

#include <cstring>

#include "Engine/LogCheck.h"
#include "Platform/FileAside.h"

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

FileRead ReadXmlFile(const QString& path, CXmlHandler& handler, QString* keptAs, QDateTime* gaveWay)
{
    if (keptAs)
        keptAs->clear();
    if (gaveWay)
        *gaveWay = QDateTime();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) && !file.exists())
        return FileRead::Missing;
    if (file.isOpen() && handler.Parse(&file))
        return FileRead::Read;
    file.close();
    return plat::SetFileAside(path, keptAs, gaveWay) ? FileRead::Failed : FileRead::Kept;
}

} // namespace settings
