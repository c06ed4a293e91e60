// Sizes, fonts and colours shared by the program's windows. The forms are
// laid out in twips (1/1440 inch); at 96 dpi fifteen twips make one
// logical pixel, and Qt scales logical pixels on high-DPI screens.
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QStringList>
#include <cmath>

namespace qv::ui {

// The banner colour of both windows' title bars and button bar (RGB 104, 45, 123).
inline const QColor kBannerColour(104, 45, 123);

// Logical pixels of a length in twips (15 twips = 1 px at 96 dpi), rounded to nearest.
inline int Px(double twips) { return static_cast<int>(std::lround(twips / 15.0)); }

// Twips of a length in logical pixels.
inline int Twips(int px) { return px * 15; }

// A rectangle given in twips (left, top, width, height) in logical pixels.
inline QRect PxRect(int left, int top, int width, int height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}

// The forms' typeface: Verdana where it is installed, DejaVu Sans otherwise.
inline QFont FormFont(double pointSize, bool bold = false) {
    QFont f;
    f.setFamilies(QStringList{QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

}  // namespace qv::ui
