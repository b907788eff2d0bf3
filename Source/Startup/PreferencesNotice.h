#pragma once
// Damaged preferences went back to their defaults, the log switch among them, so the
// user is told whatever the log holds: on standard error as soon as the file is found
// damaged, and by a message once the main window is up. A start that ends before its
// window (Cancel at the warning, an end signal) leaves the message to the next start:
// the copy kept is noted in the user's product key until the message has been read.
#include <QDateTime>
#include <QString>

class QWidget;

// What the user is told about the last Load of the preferences: where the file was
// kept, and which older copy gave way to it; empty when the file was read or there was none.
QString DamagedPreferencesNotice();
// The notice about a file kept as copy, in place of a copy last changed at gaveWay (when valid).
QString KeptPreferencesNotice(const QString& copy, const QDateTime& gaveWay);

// After the first Load of a start: prints the notice and notes the copy kept for the
// message. Returns the notice (empty: nothing to tell).
QString NoteDamagedPreferences();
// Once the main window is up: the message about the copy noted (in this start or an
// earlier one) and about this start's notice, when that is another. A message closed
// unanswered (the program is ending) keeps the copy noted for the next start.
void TellDamagedPreferences(QWidget* parent, const QString& startNotice);
