// What a screen reader finds in the display form, through Qt's accessibility
// (the desktop's AT-SPI bus on Linux): the chart as text in reading order.
// - the form: the personal data, the positions, the wheel, the
//   interpretation, in this order; its hidden controls are not there;
// - the personal-data labels: their whole text once (the tooltip that shows
//   a cut line whole is not read again as a description);
// - the position table ("Planetary Positions"): a list of eleven items, one
//   per body ("Sun, 24 Gemini 43"), the texts the form gives its rows'
//   accessible names; the labels outside the table's rows are not there;
// - the wheel: one chart whose description is the wheel in words, the text
//   the form gives it as its accessible description; its boxes, glyphs and
//   numbers are not there one by one.
#pragma once

namespace qv {

// Installs the interfaces above for every display form made after it; the
// display form calls it as it is made. Safe to call again.
void InstallChartAccessibility();

}  // namespace qv
