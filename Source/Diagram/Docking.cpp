#include "Diagram/Docking.h"

DockResult DockRule(const QRect& rcFrame, const QRect& rcScreen, const std::vector<QRect>& frames)
{
    const int L = rcFrame.left(), T = rcFrame.top(), R = rcFrame.right(), B = rcFrame.bottom();
    DockResult result{rcFrame.topLeft(), false};
    const auto snap = [&result](int x, int y) {
        result.ptPos = QPoint(x, y);
        result.bDocked = true;
    };

    if (!rcScreen.isNull()) {
        // Only from inside the screen: a frame already on an edge is left alone.
        const int sL = rcScreen.left(), sT = rcScreen.top(), sR = rcScreen.right(), sB = rcScreen.bottom();
        if (L >= sL + 1 && L <= sL + 9)
            snap(sL, T);
        if (T >= sT + 1 && T <= sT + 9)
            snap(L, sT);
        if (R >= sR - 9 && R <= sR - 1)
            snap(L + sR - R, T);
        if (B >= sB - 9 && B <= sB - 1)
            snap(L, T + sB - B);
    }

    for (const QRect& other : frames) {
        const int oL = other.left(), oT = other.top(), oR = other.right(), oB = other.bottom();
        if (L >= oR - 8 && L <= oR + 10)
            snap(oR + 1, T);
        if (T >= oB - 8 && T <= oB + 10)
            snap(L, oB + 1);
        if (R >= oL - 10 && R <= oL + 8)
            snap(L + oL - 1 - R, T);
        if (B >= oT - 10 && B <= oT + 8)
            snap(L, T + oT - 1 - B);
    }
    return result;
}
