#include "PerformanceControl/MemoryChoices.h"

#include <QComboBox>
#include <QSignalBlocker>

#include <algorithm>
#include <array>
#include <vector>

namespace memory {

QString ChoiceText(const char* pattern, double value)
{
    return QString::fromLatin1(pattern).arg(value, 0, 'g', 6);
}

namespace {

// The list's values; false when the list call fails.
bool ReadValues(const ValueList& list, std::vector<double>& values)
{
    std::array<double, kListCapacity> buffer{};
    unsigned count = kListCapacity;
    if (!list(buffer.data(), &count))
        return false;
    // A device that reports more than the room it was given must not make us read past it.
    count = std::min(count, kListCapacity);
    values.assign(buffer.begin(), buffer.begin() + count);
    return true;
}

void AddChoices(QComboBox* box, const std::vector<double>& values, const char* pattern)
{
    for (double value : values)
        box->addItem(ChoiceText(pattern, value), value);
    if (values.empty())
        box->setEnabled(false);
}

} // namespace

bool FillChoices(QComboBox* box, const ValueList& list, const char* pattern)
{
    std::vector<double> values;
    if (!ReadValues(list, values))
        return false;
    AddChoices(box, values, pattern);
    return true;
}

bool RefreshChoices(QComboBox* box, const ValueList& list, const char* pattern)
{
    std::vector<double> values;
    if (!ReadValues(list, values))
        return false;
    bool bSame = box->count() == static_cast<int>(values.size());
    for (int i = 0; bSame && i < box->count(); ++i)
        bSame = box->itemData(i).toDouble() == values[static_cast<size_t>(i)];
    if (bSame)
        return true;
    // The same position stands for the same setting (a divider of the clock), so the
    // user's choice and the one read keep their places.
    const QSignalBlocker blocker(box);
    const int index = box->currentIndex();
    box->clear();
    AddChoices(box, values, pattern);
    box->setCurrentIndex(index < box->count() ? index : -1);
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
