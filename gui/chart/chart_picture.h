// Pictures of the chart at any size. The display form is drawn afresh at
// the width asked for: its regions, type and wheel scaled as the window's
// zoom scales them, the wheel and the sign glyphs as outlines, the
// interpretation box without its scroll bar or frame. Nothing is taken from
// the screen, so neither the window around the form nor anything over it
// gets into the picture.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

#include "chart/chart_wheel.h"
#include "formats/picture_format.h"
#include "state/chart_state.h"

class QPainter;

namespace qv {

class FrmDisplay;

// The size of a picture `width` pixels wide: the display form's proportions.
QSize PictureSize(int width);

// Paints the form as a picture `width` pixels wide on `painter`, whose
// device is at least PictureSize(width) large, from its top left corner.
// The form is shown at the scale again afterwards, its interpretation
// scrolled to the same part of the text.
void PaintChartPicture(FrmDisplay& form, QPainter& painter, int width);

// The picture as an opaque image (white where the form leaves anything
// transparent), or as the bytes of an SVG document.
QImage ChartPictureImage(FrmDisplay& form, int width);
QByteArray ChartPictureSvg(FrmDisplay& form, int width);

// The bytes of the picture file `format` asks for; an empty array when the
// image could not be encoded.
QByteArray ChartPictureFile(FrmDisplay& form, PictureFormat format, int width);

// Writes the picture to `path`, in the kind its extension names, through
// WriteFileAtomically: the file appears whole or not at all, and an earlier
// file of that name stays as it was when writing fails. Returns the message
// for the user, naming the file, when it fails.
std::optional<QString> WriteChartPicture(FrmDisplay& form, const QString& path, int width);

// A display form off the screen filled with a calculated chart, as the chart
// window fills its own: for pictures drawn without a window.
class ChartPictureForm {
public:
    ChartPictureForm(const ChartState& state, const ChartWheel& wheel);
    ~ChartPictureForm();
    ChartPictureForm(const ChartPictureForm&) = delete;
    ChartPictureForm& operator=(const ChartPictureForm&) = delete;
    FrmDisplay& form() { return *form_; }

private:
    FrmDisplay* form_;
};

}  // namespace qv
