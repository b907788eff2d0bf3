#pragma once
// Where a dragged dialog frame snaps. The screen's edges pull a frame from up to
// 9 pixels inside the screen; another frame's edges pull from 8 or 10 pixels on
// either side of the touching position (so a frame already touching one stays,
// and counts as docked). Each rule tests the frame as it was dropped and moves it
// along one axis only: when several rules fire, the last one decides.
#include <QPoint>
#include <QRect>

#include <vector>

struct DockResult {
    QPoint ptPos;           // the frame's new top-left corner
    bool bDocked = false;   // a rule fired
};

// rcFrame: the frame as dropped; rcScreen: the screen it is on (a null rectangle:
// no screen rules); frames: every frame that attracts, hidden ones and the
// dragged one itself included.
DockResult DockRule(const QRect& rcFrame, const QRect& rcScreen, const std::vector<QRect>& frames);
