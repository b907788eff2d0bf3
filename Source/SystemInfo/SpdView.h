#pragma once
// The Basic page's "SPD" group: one memory module's capacity, type, bandwidth,
// maker, part and serial numbers, date, and three columns of timing sets.
struct SPD_INFO;
namespace Ui {
class BasicInfoClass;
}

// Fills every module field and the timing grid from the module's record.
void ShowModule(Ui::BasicInfoClass& ui, double dCapacityBytes, const SPD_INFO& spd);
// Empties them, so a module that cannot be read never shows another module's data.
void ClearModule(Ui::BasicInfoClass& ui);
