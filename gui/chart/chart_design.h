// What the chart window's parts share: their designed sizes, in twips, and
// the filled background of the banner, the bars and the notes.
#pragma once

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace qv::chart_design {

constexpr int kToolBarHeight = 420;
constexpr int kBannerHeight = 850;
constexpr int kButtonBarHeight = 615;
constexpr int kButtonTop = 77;
constexpr int kButtonHeight = 400;
constexpr int kExitWidth = 1095;
constexpr int kBackWidth = 1095;
constexpr int kJpegWidth = 1575;
constexpr int kButtonGap = 100;
constexpr int kBarMargin = 300;
constexpr int kHeadingWidth = 6030;
constexpr int kHeadingHeight = 435;
// The window's designed client area.
constexpr int kClientWidth = 8880;
constexpr int kClientHeight = 5985;

inline void SetBackground(QWidget* w, const QColor& colour) {
    w->setAutoFillBackground(true);
    QPalette p = w->palette();
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
}

}  // namespace qv::chart_design
