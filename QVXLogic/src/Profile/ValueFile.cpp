#include "Profile/ValueFile.h"

#include <QBuffer>
#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>

namespace qvx {

QString ValueFile::XmlName(const QString& name)
{
    QString out = name.left(259);
    for (QChar& c : out)
        if (c == QLatin1Char(' ') || c == QLatin1Char('(') || c == QLatin1Char(')') || c == QLatin1Char('/')
            || c == QLatin1Char('+'))
            c = QLatin1Char('_');
    return out;
}

bool ValueFile::ToNumber(const QString& text, double* value)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));   // the store writes the user's decimal separator
    bool ok = false;
    const double v = QLocale::c().toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return false;
    *value = v;
    return true;
}

QString ValueFile::FromNumber(double value) { return QLocale::c().toString(value, 'g', 15); }

void ValueFile::Set(const QString& group, const QString& subGroup, const QString& item, double value)
{
    m_Groups[XmlName(group)][XmlName(subGroup)][XmlName(item)] = FromNumber(value);
}

const QString* ValueFile::Find(const QString& group, const QString& subGroup, const QString& item) const
{
    const auto g = m_Groups.find(XmlName(group));
    if (g == m_Groups.end())
        return nullptr;
    const auto s = g->second.find(XmlName(subGroup));
    if (s == g->second.end())
        return nullptr;
    const auto i = s->second.find(XmlName(item));
    return i == s->second.end() ? nullptr : &i->second;
}

bool ValueFile::Load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    return _Parse(&file, error);
}

bool ValueFile::_Parse(QIODevice* device, QString* error)
{
    QXmlStreamReader xml(device);
    QStringList names;   // group, sub-group, item while inside them
    QString text;        // the item's own text (what its child elements hold is skipped)
    bool root = false;
    int depth = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            // Items hold text only: a file nested far deeper is damaged, and reading
            // it would cost time for nothing.
            if (++depth > kMaxDepth) {
                *error = QStringLiteral("elements nest deeper than %1 levels").arg(kMaxDepth);
                return false;
            }
            if (depth == 1) {
                if (xml.name() != QLatin1String("Configuration")) {
                    *error = QStringLiteral("the root is not Configuration");
                    return false;
                }
                root = true;
            } else if (depth <= kItemDepth) {
                names.append(xml.name().toString());
                text.clear();
            }
            break;
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            if (depth == kItemDepth)
                text += xml.text();
            break;
        case QXmlStreamReader::EndElement:
            if (depth == kItemDepth)
                m_Groups[names[0]][names[1]][names[2]] = text;
            if (depth >= 2 && depth <= kItemDepth)
                names.removeLast();
            --depth;
            break;
        default:
            break;
        }
    }
    if (xml.hasError()) {
        *error = xml.errorString();
        return false;
    }
    if (!root) {
        *error = QStringLiteral("no Configuration element");
        return false;
    }
    return true;
}

QByteArray ValueFile::_Write() const
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeProcessingInstruction(QStringLiteral("QVX_Configuration_File"), QStringLiteral("version = \"1.0\""));
    xml.writeStartElement(QStringLiteral("Configuration"));
    for (const auto& [group, subGroups] : m_Groups) {
        xml.writeStartElement(group);
        for (const auto& [subGroup, items] : subGroups) {
            xml.writeStartElement(subGroup);
            for (const auto& [item, text] : items)
                xml.writeTextElement(item, text);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

bool ValueFile::Save(const QString& path, QString* error) const
{
    // The writer takes any name it is given (a device named "@x" or "1x"): only a file
    // that reads back as what was meant is written.
    const QByteArray bytes = _Write();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    ValueFile check;
    QString why;
    if (!check._Parse(&buffer, &why) || check.m_Groups != m_Groups) {
        *error = QStringLiteral("a device or item name cannot be written as an XML name (%1)")
                     .arg(why.isEmpty() ? QStringLiteral("it reads back differently") : why);
        return false;
    }
    // A profile may be applied at the next start: nobody else may change it, whatever the umask.
    // The explicit flush: commit() alone would swap in a cut file when its own flush fails.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()
        || !file.setPermissions(file.permissions() & ~(QFileDevice::WriteGroup | QFileDevice::WriteOther))
        || !file.flush() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace qvx
