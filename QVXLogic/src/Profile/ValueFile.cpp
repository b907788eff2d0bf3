#include "Profile/ValueFile.h"

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
    QXmlStreamReader xml(&file);
    QStringList path3;   // group, sub-group, item while inside them
    bool root = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (!root) {
                if (xml.name() != QLatin1String("Configuration")) {
                    *error = QStringLiteral("the root is not Configuration");
                    return false;
                }
                root = true;
                continue;
            }
            path3.append(xml.name().toString());
            if (path3.size() == 3) {
                const QString text = xml.readElementText(QXmlStreamReader::SkipChildElements);
                m_Groups[path3[0]][path3[1]][path3[2]] = text;
                path3.removeLast();
            }
        } else if (xml.isEndElement() && !path3.isEmpty()) {
            path3.removeLast();
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

bool ValueFile::Save(const QString& path, QString* error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    QXmlStreamWriter xml(&file);
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
    if (xml.hasError() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace qvx
