// The View menu's chart style, colour style and divisional-chart entries.
// They compute nothing: the style entries move a check mark, the colour
// entries recolour the twelve sign labels, the divisional entries hide the
// display form.
#pragma once

#include <QColor>

namespace qv {

// Text colour of the sign label of sign 0 (Aries) … 11 (Pisces) under colour
// style "On" or "Off". "On" uses the classic sixteen-colour palette entries
// 0, 1, 2, 3, 4, 5, 8 and again 0 to 4; "Off" is black throughout.
QColor SignLabelColour(int sign, bool colourOn);

}  // namespace qv
