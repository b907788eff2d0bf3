#pragma once
// What the three status pages share: the widgets of a device column by object
// name, the usage graph areas, the LCD look and the fallback temperature.
#include <QStringList>
#include <QWidget>

class QLabel;
class QLCDNumber;

// Slots of each usage graph's ring: 94 samples, one per second.
constexpr unsigned kUsageSlots = 95;

// Object name of a widget of device column 0-3 in the CPU and GPU grids: column 0
// has the plain name, columns 1 to 3 add "_2" to "_4".
QString ColumnObjectName(const QString& name, int column);

// Enables or disables the named widgets of one column.
void SetColumnEnabled(const QWidget* page, const QStringList& names, int column, bool enabled);

// Gives a graph area the current skin's usage picture.
void ShowUsagePicture(QLabel* pArea);

// White digits on black; disabled, black with a light frame edge.
void SetStatusLcdPalette(QLCDNumber* pLcd);

// The board's temperature for a processor that reports none: the first of the
// sensor chip's sensors 0-2 that has a reading, 0 when none has (or no chip).
int FallbackTemperature();
