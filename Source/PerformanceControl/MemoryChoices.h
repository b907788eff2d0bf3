#pragma once
// Choices of the Memory pages: every field is a drop-down list of the values the
// memory controller allows, each choice carrying its value as item data.
#include <QString>
#include <QVariant>

#include <functional>

class QComboBox;

namespace memory {

// A value list of the controller: fills the buffer, *count holding the capacity on
// entry and the number of values on return; false when the list is unavailable.
using ValueList = std::function<bool(double* buffer, unsigned* count)>;

// The pages always offer room for this many values.
constexpr unsigned kListCapacity = 256;

// The pattern with "%1" replaced by the value in general notation, six significant
// digits (7, 7.5, 1066.67).
QString ChoiceText(const char* pattern, double value);

// Appends one choice per value of the list; a list without values leaves the box
// empty and disabled. False (box untouched) when the list call fails.
bool FillChoices(QComboBox* box, const ValueList& list, const char* pattern);

// Replaces the choices with the list's values when they differ from the ones offered
// (a list that follows a clock moves with it), keeping the chosen position; no
// signal tells of the swap. False (box untouched) when the list call fails.
bool RefreshChoices(QComboBox* box, const ValueList& list, const char* pattern);

// The two fixed choices of a flag: onText with true, then offText with false.
void AddFlagChoices(QComboBox* box, const QString& onText, const QString& offText);

// Makes the choice whose item data equals value exactly (same type, same value)
// current; none matches: no current choice. True when one matched.
bool SelectByData(QComboBox* box, const QVariant& value);

// The value of the current choice; false when the box has no current choice.
bool CurrentValue(const QComboBox* box, double& value);

} // namespace memory
