#pragma once
// What a user would see wrong in a page laid out in the main window: a control
// squeezed below the size it needs, a caption cut off, a value that does not fit
// its field, two controls drawn over each other.
#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <vector>

namespace test {

inline bool IsControl(const QWidget* w)
{
    return qobject_cast<const QLabel*>(w) || qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSlider*>(w)
        || qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractButton*>(w);
}

// Every visible control of page (not the inner parts of a control).
inline std::vector<QWidget*> VisibleControls(QWidget* page)
{
    std::vector<QWidget*> out;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (!IsControl(w) || !w->isVisibleTo(page))
            continue;
        bool inner = false;
        for (QWidget* p = w->parentWidget(); p && p != page && !inner; p = p->parentWidget())
            inner = IsControl(p);
        if (!inner)
            out.push_back(w);
    }
    return out;
}

inline void ExpectReadableLayout(QWidget* page)
{
    const std::vector<QWidget*> controls = VisibleControls(page);
    ASSERT_FALSE(controls.empty());
    std::vector<QRect> rects;
    for (QWidget* w : controls) {
        const QString name = w->objectName();
        rects.push_back(QRect(w->mapTo(page, QPoint(0, 0)), w->size()));
        EXPECT_GE(w->height(), w->minimumSizeHint().height()) << qPrintable(name) << " is squeezed";
        if (auto* label = qobject_cast<QLabel*>(w); label && !label->wordWrap() && label->pixmap().isNull()) {
            EXPECT_GE(label->width(), label->minimumSizeHint().width()) << qPrintable(name) << " is cut off";
        }
        if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()) + 6, edit->width())
                << qPrintable(name) << " cannot show \"" << qPrintable(edit->text()) << "\"";
        }
    }
    for (size_t i = 0; i < controls.size(); ++i)
        for (size_t j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(rects[i].intersects(rects[j]))
                << qPrintable(controls[i]->objectName()) << " overlaps " << qPrintable(controls[j]->objectName());
}

} // namespace test
