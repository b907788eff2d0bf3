// The Memory pages' choices: value texts, filling a box from a value list (also a
// list that reports more values than it was given room for), exact selection.
#include <QComboBox>

#include <gtest/gtest.h>

#include <cmath>

#include "PerformanceControl/MemoryChoices.h"

using namespace memory;

TEST(MemoryChoices, TextIsTheValueInGeneralNotationWithSixDigits)
{
    const struct { const char* pattern; double value; const char* text; } cases[] = {
        {"%1 bus clock", 7, "7 bus clock"},
        {"%1 bus clock", 7.5, "7.5 bus clock"},
        {"%1 MHz", 1066.666, "1066.67 MHz"},
        {"%1 MHz", 533.333, "533.333 MHz"},
        {"%1 bus clock", 0, "0 bus clock"},
        {"%1 us", 7.8, "7.8 us"},
        {"%1 ns", 0.125, "0.125 ns"},
        {"%1 cycles", 256, "256 cycles"},
        {"%1 ohms", 1234567, "1.23457e+06 ohms"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChoiceText(c.pattern, c.value), QLatin1String(c.text)) << c.value;
}

TEST(MemoryChoices, ListFillsTheBoxWithOneChoicePerValue)
{
    QComboBox box;
    const ValueList list = [](double* values, unsigned* count) {
        EXPECT_EQ(*count, kListCapacity);   // the whole buffer is offered
        values[0] = 0;
        values[1] = 2.5;
        values[2] = 3;
        *count = 3;
        return true;
    };
    ASSERT_TRUE(FillChoices(&box, list, "%1 bus clock"));
    ASSERT_EQ(box.count(), 3);
    EXPECT_EQ(box.itemText(0), "0 bus clock");   // 0 is a choice of its own
    EXPECT_EQ(box.itemData(0), QVariant(0.0));
    EXPECT_EQ(box.itemText(1), "2.5 bus clock");
    EXPECT_EQ(box.itemData(2).toDouble(), 3.0);
    EXPECT_TRUE(box.isEnabled());
}

TEST(MemoryChoices, EmptyListDisablesAndFailedListLeavesTheBoxAlone)
{
    QComboBox empty;
    EXPECT_TRUE(FillChoices(&empty, [](double*, unsigned* count) { *count = 0; return true; }, "%1 ns"));
    EXPECT_EQ(empty.count(), 0);
    EXPECT_FALSE(empty.isEnabled());

    QComboBox failed;
    const ValueList failing = [](double* values, unsigned* count) {
        values[0] = 1;
        *count = 1;
        return false;
    };
    EXPECT_FALSE(FillChoices(&failed, failing, "%1 ns"));
    EXPECT_EQ(failed.count(), 0);
    EXPECT_TRUE(failed.isEnabled());
}

TEST(MemoryChoices, FullListIsShownWholeAndAnOverlongCountIsCutToTheBuffer)
{
    for (unsigned reported : {kListCapacity, kListCapacity + 1, 100000u}) {
        SCOPED_TRACE(reported);
        QComboBox box;
        const ValueList list = [reported](double* values, unsigned* count) {
            for (unsigned i = 0; i < *count; ++i)
                values[i] = i;
            *count = reported;   // a faulty device may claim more than it was given room for
            return true;
        };
        ASSERT_TRUE(FillChoices(&box, list, "%1 x"));
        ASSERT_EQ(box.count(), static_cast<int>(kListCapacity));
        EXPECT_EQ(box.itemText(255), "255 x");
    }
}

TEST(MemoryChoices, SelectionNeedsTheExactValueAndTypeElseNothingIsCurrent)
{
    QComboBox box;
    FillChoices(&box, [](double* values, unsigned* count) {
        values[0] = 400;
        values[1] = 533.333;
        values[2] = 1;
        *count = 3;
        return true;
    }, "%1 MHz");
    double value = -1;
    EXPECT_TRUE(SelectByData(&box, 533.333));
    EXPECT_EQ(box.currentIndex(), 1);
    ASSERT_TRUE(CurrentValue(&box, value));
    EXPECT_EQ(value, 533.333);

    // A value that differs in the last bit, or one of another type, matches nothing.
    EXPECT_FALSE(SelectByData(&box, std::nextafter(533.333, 600.0)));
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_FALSE(CurrentValue(&box, value));
    EXPECT_FALSE(SelectByData(&box, QVariant(true)));
    EXPECT_EQ(box.currentIndex(), -1);

    QComboBox flag;
    AddFlagChoices(&flag, QStringLiteral("2T"), QStringLiteral("1T"));
    EXPECT_EQ(flag.itemData(0), QVariant(true));
    EXPECT_TRUE(SelectByData(&flag, QVariant(false)));
    EXPECT_EQ(flag.currentText(), "1T");
    ASSERT_TRUE(CurrentValue(&flag, value));
    EXPECT_EQ(value, 0.0);
    EXPECT_FALSE(SelectByData(&flag, QVariant(1.0)));   // a flag is looked up by its boolean
}
