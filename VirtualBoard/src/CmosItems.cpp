#include "VirtualBoard/CmosItems.h"
#include "VirtualBoard/Journal.h"
#include "VirtualBoard/Machine.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace vb {

void CmosItems::Load(const QJsonArray& items, const QString& stateFile)
{
    m_items.clear();
    m_stateFile = stateFile;
    for (const QJsonValue& v : items) {
        const QJsonObject o = v.toObject();
        CmosItem item;
        item.name = o.value(QStringLiteral("name")).toString().toStdString();
        for (const QJsonValue& r : o.value(QStringLiteral("rules")).toArray()) {
            std::array<uint8_t, 5> rule{};
            const QJsonArray bytes = r.toArray();
            for (int i = 0; i < 5 && i < bytes.size(); ++i)
                rule[size_t(i)] = static_cast<uint8_t>(ToU64(bytes.at(i)));
            item.rules.push_back(rule);
        }
        for (const QJsonValue& opt : o.value(QStringLiteral("options")).toArray())
            item.options.push_back(opt.toString().toStdString());
        item.value = static_cast<uint8_t>(ToU64(o.value(QStringLiteral("value"))));
        m_items.push_back(std::move(item));
    }
    _ReadState();
}

const CmosItem* CmosItems::Item(uint32_t number) const
{
    if (number < 1 || number > m_items.size())
        return nullptr;
    return &m_items[number - 1];
}

bool CmosItems::SetValue(uint32_t number, uint8_t value)
{
    if (number < 1 || number > m_items.size())
        return false;
    CmosItem& item = m_items[number - 1];
    if (value >= item.options.size())
        return false;
    const uint8_t previous = item.value;
    item.value = value;
    if (!_WriteState()) {
        item.value = previous;                  // nothing half-done: the write did not stick
        return false;
    }
    return true;
}

void CmosItems::_ReadState()
{
    QFile file(m_stateFile);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    file.close();
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (doc.isNull() || !doc.isObject() || !doc.object().value(QStringLiteral("items")).isArray()) {
        // Set the unreadable file aside; the board's own values stand.
        const QString base = m_stateFile + QStringLiteral(".corrupt-")
                             + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        QString aside = base;
        for (int n = 1; QFileInfo::exists(aside); ++n)
            aside = base + QStringLiteral("-%1").arg(n);
        QFile::rename(m_stateFile, aside);
        Report(rtWarning, "VirtualBoard: CMOS state file %s is unreadable, set aside as %s",
               qPrintable(m_stateFile), qPrintable(aside));
        return;
    }
    const QJsonArray saved = doc.object().value(QStringLiteral("items")).toArray();
    for (int i = 0; i < saved.size() && size_t(i) < m_items.size(); ++i) {
        const QJsonObject o = saved.at(i).toObject();
        CmosItem& item = m_items[size_t(i)];
        const QJsonValue value = o.value(QStringLiteral("value"));
        if (o.value(QStringLiteral("name")).toString().toStdString() != item.name || !value.isDouble())
            continue;
        const double v = value.toDouble();
        if (v >= 0 && v < double(item.options.size()))
            item.value = static_cast<uint8_t>(v);
    }
}

bool CmosItems::_WriteState() const
{
    QJsonArray items;
    for (const CmosItem& item : m_items)
        items.append(QJsonObject{{QStringLiteral("name"), QString::fromStdString(item.name)},
                                 {QStringLiteral("value"), int(item.value)}});
    // The state folder and file are the user's own, whatever the umask.
    const QString dir = QFileInfo(m_stateFile).absolutePath();
    if (!QFileInfo::exists(dir) && QDir().mkpath(dir))
        QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QSaveFile file(m_stateFile);
    if (!file.open(QIODevice::WriteOnly)) {
        Report(rtError, "VirtualBoard: cannot write CMOS state file %s", qPrintable(m_stateFile));
        return false;
    }
    const QByteArray bytes = QJsonDocument(QJsonObject{{QStringLiteral("items"), items}}).toJson();
    // Only a whole file is swapped in (commit() alone would not see a failed flush).
    if (file.write(bytes) != bytes.size() || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner)
        || !file.flush() || !file.commit()) {
        Report(rtError, "VirtualBoard: cannot write CMOS state file %s", qPrintable(m_stateFile));
        return false;
    }
    return true;
}

} // namespace vb
