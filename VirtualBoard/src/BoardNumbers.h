#pragma once
// What kind of number each numeric field of a board file holds, as the part of the
// simulated machine that reads it takes it. A value of another kind (a text that is
// no number, a negative or fractional value where a whole unsigned one belongs, one
// past what its reader holds) would be read as the reader's default or cut to fit
// without a word: the file is refused as it loads instead, naming the field.
#include <QJsonValue>
#include <QString>

namespace vb {

enum class NumberKind {
    Bits8,      // a whole number from 0 to 255, as a number or as its text ("0x1F")
    Bits16,     // the same, to 65535
    Bits32,     // the same, to 4294967295
    Bits64,     // the same, to 18446744073709551615
    Integer,    // a whole number from -2147483648 to 2147483647
    Real,       // any number
};

struct NumberRule {
    NumberKind kind;
    const char* word = nullptr;    // a text the field takes besides its numbers
};

// The rule of the number at pattern (keys joined by '.', "*" for every entry of a
// list or member of a map), or null when the field holds no number.
const NumberRule* NumberRuleAt(const QString& pattern);

// Whether the object at pattern is a map: its keys are data rather than names, and
// its members go by "<pattern>.*". *ppKeyKind is then the kind of number its keys
// are, or null when they are names.
bool IsNumberMap(const QString& pattern, const NumberKind** ppKeyKind);

// Whether value is a number of the kind. A null value is none at all, which every
// reader takes for a missing one.
bool IsOfKind(NumberKind kind, const QJsonValue& value);
// The same for a whole number from 0 to max (a count or size with its bound).
bool IsWholeUpTo(double max, const QJsonValue& value);

// How a message names the kind ("a whole number from 0 to 255", "a number") and a
// value as the file gives it ("\"abc\"", "-1", "a list").
QString KindText(NumberKind kind);
QString WholeUpToText(double max);
QString ShownValue(const QJsonValue& value);
// A number as the user wrote it would read: whole numbers in full, never in exponent form.
QString NumberText(double value);

} // namespace vb
