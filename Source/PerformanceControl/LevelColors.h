#pragma once
// The three warning colours of the clock and voltage pages and the rule that
// paints a value label with them. Level 0 is "no warning".
#include <QColor>

class QLabel;

extern const QColor g_LevelColor1;   // orange
extern const QColor g_LevelColor2;   // light red
extern const QColor g_LevelColor3;   // red

// Level 0: the label's own background filling is switched off and its palette
// left alone; 1 to 3: filled with that colour in every colour group.
void SetLevelColor(QLabel* pLabel, int nLevel);

// How far a new value lies above a reference: above 5 %, 10 %, 15 % give levels
// 1, 2, 3. A reference of 0 or less has no meaning and gives no warning.
int LevelForRatio(double dNew, double dReference);

// Level for a clock by the upper ends of the first three bands (inclusive).
int LevelForClock(int nMHz, int nNone, int nLevel1, int nLevel2);
