#pragma once
// A Memory page on the simulated board: its boxes by name, the controller's records,
// board variants of the memory controller, and the profile items the page stored.
#include <QComboBox>
#include <QDomDocument>
#include <QFile>
#include <QJsonArray>

#include <utility>
#include <vector>

#include "QVXLogic/MemoryDevices.h"
#include "Source/PerformanceControl/PageFixture.h"
#include "VirtualBoard/Devices/DeviceBoard.h"
#include "support/LogCapture.h"

namespace test {

template <class P>
class MemoryPageTest : public PageTest<P> {
protected:
    using PageTest<P>::page;

    QComboBox* Box(const char* name) const { return page->template findChild<QComboBox*>(QLatin1String(name)); }

    // The box's current choice text ("" when it has none).
    QString Shown(const char* name) const { return Box(name)->currentText(); }

    // Picks a choice by its text, as the user would.
    void Pick(const char* name, const QString& text)
    {
        QComboBox* box = Box(name);
        ASSERT_TRUE(box) << name;
        const int index = box->findText(text);
        ASSERT_GE(index, 0) << name << " has no choice " << text.toStdString();
        box->setCurrentIndex(index);
    }

    // How often a device has reached the simulated board so far.
    static uint64_t BoardAccesses() { return vb::Machine::Instance().Get<vb::DeviceBoard>().Accesses(); }

    static IMemoryControllerDevice* MC() { return QvxGetDevice<IMemoryControllerDevice>(dtMemoryController, 0); }
    static MEMORY_TIMING Timing()
    {
        MEMORY_TIMING timing{};
        EXPECT_TRUE(MC()->GetTimings(&timing));
        return timing;
    }
    static MEMORY_CONFIG Config()
    {
        MEMORY_CONFIG config{};
        EXPECT_TRUE(MC()->GetConfig(&config));
        return config;
    }

    // The default board with its memory controller changed.
    static void UseControllerWith(const std::function<void(QJsonObject& mc)>& change)
    {
        PerformancePageTest::UseBoardWith(
            [&](QJsonObject& devices) { PerformancePageTest::Edit(devices, "memoryController", change); });
    }
    static void SetField(QJsonObject& mc, const char* name, double value)
    {
        QJsonObject fields = mc.value(QStringLiteral("fields")).toObject();
        fields.insert(QLatin1String(name), value);
        mc.insert(QStringLiteral("fields"), fields);
    }
    static void SetList(QJsonObject& mc, const char* name, const QJsonArray& values)
    {
        QJsonObject lists = mc.value(QStringLiteral("lists")).toObject();
        lists.insert(QLatin1String(name), values);
        mc.insert(QStringLiteral("lists"), lists);
    }

    // The items under Configuration/MemoryController/Memory_Controller in the file
    // on disk, as (element name, text) in file order.
    static std::vector<std::pair<QString, QString>> StoredItems()
    {
        std::vector<std::pair<QString, QString>> items;
        QFile file(CConfigParser::GetInstance()->GetFullPath());
        QDomDocument document;
        if (!file.open(QIODevice::ReadOnly) || !document.setContent(&file))
            return items;
        const QDomElement sub = document.documentElement()
                                    .firstChildElement(QStringLiteral("MemoryController"))
                                    .firstChildElement(QStringLiteral("Memory_Controller"));
        for (QDomElement e = sub.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            items.emplace_back(e.tagName(), e.text());
        return items;
    }
    static QString StoredItem(const char* key)
    {
        return PerformancePageTest::Stored("MemoryController", "Memory Controller", key);
    }
};

} // namespace test
