#include "gui/chart/chart_styles.h"

namespace qv {

QColor SignLabelColour(int sign, bool colourOn) {
    // Classic palette entries as RGB: 0 black, 1 dark blue, 2 dark green,
    // 3 dark cyan, 4 dark red, 5 dark magenta, 8 grey.
    static const QColor kOn[12] = {QColor(0, 0, 0),   QColor(0, 0, 128),   QColor(0, 128, 0),     QColor(0, 128, 128),
                                   QColor(128, 0, 0), QColor(128, 0, 128), QColor(128, 128, 128), QColor(0, 0, 0),
                                   QColor(0, 0, 128), QColor(0, 128, 0),   QColor(0, 128, 128),   QColor(128, 0, 0)};
    if (!colourOn || sign < 0 || sign >= 12) return QColor(0, 0, 0);
    return kOn[sign];
}

}  // namespace qv
