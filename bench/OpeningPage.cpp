#include "OpeningPage.h"

#include <QList>
#include <QPair>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

namespace bench {

namespace {

const QString kFirstPage = QStringLiteral("Basic");

struct PAGE {
    QString name;
    QList<QPair<QString, QString>> fields;   // Enabled, Visible, Editable as the table has them
};

struct GROUP {
    QString name;
    QList<PAGE> pages;
};

bool Read(const QByteArray& table, QList<GROUP>& groups)
{
    QXmlStreamReader xml(table);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString element = xml.name().toString();
        if (element == QLatin1String("Group"))
            groups.append({xml.attributes().value(QLatin1String("Name")).toString(), {}});
        else if (element == QLatin1String("Page") && !groups.isEmpty())
            groups.last().pages.append({xml.attributes().value(QLatin1String("Name")).toString(), {}});
        else if (element != QLatin1String("PageList") && !groups.isEmpty() && !groups.last().pages.isEmpty())
            groups.last().pages.last().fields.append({element, xml.readElementText()});
    }
    return !xml.hasError() && !groups.isEmpty();
}

void Hide(PAGE& page)
{
    for (auto& [field, value] : page.fields)
        if (field == QLatin1String("Visible")) {
            value = QStringLiteral("0");
            return;
        }
    page.fields.append({QStringLiteral("Visible"), QStringLiteral("0")});
}

QByteArray Write(const QList<GROUP>& groups)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE PageSettings.xml>"));
    xml.writeStartElement(QStringLiteral("PageList"));
    for (const GROUP& group : groups) {
        xml.writeStartElement(QStringLiteral("Group"));
        xml.writeAttribute(QStringLiteral("Name"), group.name);
        for (const PAGE& page : group.pages) {
            xml.writeStartElement(QStringLiteral("Page"));
            xml.writeAttribute(QStringLiteral("Name"), page.name);
            for (const auto& [field, value] : page.fields)
                xml.writeTextElement(field, value);
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return out;
}

} // namespace

QByteArray PageTableOpeningOn(const QByteArray& table, const QString& page)
{
    QList<GROUP> groups;
    if (!Read(table, groups))
        return {};
    const auto holds = [](const QString& name) {
        return [name](const PAGE& p) { return p.name == name; };
    };
    PAGE first;
    for (GROUP& group : groups) {
        const auto it = std::find_if(group.pages.begin(), group.pages.end(), holds(kFirstPage));
        if (it != group.pages.end()) {
            first = *it;
            group.pages.erase(it);
        }
    }
    for (GROUP& group : groups) {
        const auto it = std::find_if(group.pages.begin(), group.pages.end(), holds(page));
        if (it == group.pages.end())
            continue;
        std::for_each(group.pages.begin(), it, Hide);
        if (!first.name.isEmpty()) {
            Hide(first);
            group.pages.prepend(first);
        }
        return Write(groups);
    }
    return {};
}

} // namespace bench
