#pragma once
// A page table under which the program opens on a chosen page while every other
// page is still there (built, initialised, hidden), so a figure of the program
// left on that page counts what the hidden pages cost too. The program opens on
// the group of the first page it builds (Basic) and there on the first visible
// page: Basic moves to the front of the chosen page's group, hidden, and so do
// the pages of that group listed before the chosen one.
#include <QByteArray>
#include <QString>

namespace bench {

// Empty when the table cannot be read or has no such page.
QByteArray PageTableOpeningOn(const QByteArray& table, const QString& page);

} // namespace bench
