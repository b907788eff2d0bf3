#include "PerformanceControl/MemoryChoices.h"

#include <QComboBox>
#include <QSignalBlocker>

#include <algorithm>
#include <array>

namespace memory {

QString ChoiceText(const char* pattern, double value)
{
    return QString::fromLatin1(pattern).arg(value, 0, 'g', 6);
}

bool FillChoices(QComboBox* box, const ValueList& list, const char* pattern)
{
    std::array<double, kListCapacity> values{};
    unsigned count = kListCapacity;
    if (!list(values.data(), &count))
        return false;
    // A device that reports more than the room it was given must not make us read past it.
    count = std::min(count, kListCapacity);
    for (unsigned i = 0; i < count; ++i)
        box->addItem(ChoiceText(pattern, values[i]), values[i]);
    if (count == 0)
        box->setEnabled(false);
    return true;
}

bool RefreshChoices(QComboBox* box, const ValueList& list, const char* pattern)
{
    std::array<double, kListCapacity> values{};
    unsigned count = kListCapacity;
    if (!list(values.data(), &count))
        return false;
    count = std::min(count, kListCapacity);
    bool bSame = static_cast<unsigned>(box->count()) == count;
    for (unsigned i = 0; bSame && i < count; ++i)
        bSame = box->itemData(static_cast<int>(i)).toDouble() == values[i];
    if (bSame)
        return true;
    // The same position stands for the same setting (a divider of the clock), so the
    // user's choice and the one read keep their places.
    const QSignalBlocker blocker(box);
    const int index = box->currentIndex();
    box->clear();
    for (unsigned i = 0; i < count; ++i)
        box->addItem(ChoiceText(pattern, values[i]), values[i]);
    box->setCurrentIndex(index < static_cast<int>(count) ? index : -1);
    if (count == 0)
        box->setEnabled(false);
    return true;
}

void AddFlagChoices(QComboBox* box, const QString& onText, const QString& offText)
{
    box->addItem(onText, true);
    box->addItem(offText, false);
}

bool SelectByData(QComboBox* box, const QVariant& value)
{
    // Exact: QVariant's own equality would let two nearly equal doubles match.
    for (int i = 0; i < box->count(); ++i) {
        const QVariant data = box->itemData(i);
        if (data.metaType() != value.metaType())
            continue;
        const bool same = value.typeId() == QMetaType::Double ? data.toDouble() == value.toDouble() : data == value;
        if (same) {
            box->setCurrentIndex(i);
            return true;
        }
    }
    box->setCurrentIndex(-1);
    return false;
}

bool CurrentValue(const QComboBox* box, double& value)
{
    const QVariant data = box->currentData();
    if (box->currentIndex() < 0 || !data.isValid())
        return false;
    value = data.toDouble();
    return true;
}

} // namespace memory
