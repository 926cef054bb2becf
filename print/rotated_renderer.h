#pragma once
// Printing turned by 180 degrees: the envelope is drawn into an off-screen picture at the
// chosen resolution, and the picture is placed on the page with negative width and height.
// The picture is measured in its own twips (15 per pixel, fonts at 96 dpi), so the text
// layout is that of the canvas scaled up, not rounded to millimetres.
//
// Big resolutions make big pictures (2000 dpi on C4 is some 460 million pixels), so the
// picture is painted and placed in horizontal bands of bounded memory.

#include <QImage>
#include <QList>

#include "editor/envelope_model.h"
#include "print/envelope_renderer.h"
#include "print/printer_device.h"

namespace print {

constexpr double kDefaultRotationDpi = 150;
// Beyond this the picture would take too long to paint and spool even in bands.
constexpr qint64 kMostRotationPixels = 1'000'000'000;

// "DPI" under "Envelop Collate"; 150 when empty, missing or not a positive number.
double RotationDpi();

// The off-screen picture of one envelope: W x H mm at `dpi`, sized in whole pixels.
struct RotationCanvas {
  QSize pixels;
  double dpi = kDefaultRotationDpi;
  double widthTwips() const { return pixels.width() * double(editor::kTwipsPerPixel); }
  qint64 pixelCount() const { return qint64(pixels.width()) * pixels.height(); }
};
RotationCanvas SizeRotationCanvas(double W, double H, double dpi);

// The picture font size for a box of `boxSize` points: the 2-character sample is as wide on
// the picture as on the canvas, scaled by `ratio` (picture twips per canvas twip). At least 1 pt.
float FitPictureFontSize(double boxSize, const common::FontChoice& font, double ratio, bool bold);

// One line of text on the picture: top-left corner in picture twips.
struct PictureText {
  QPointF twips;
  QString text;
  common::FontChoice font;
};
// The texts of every box laid out on the picture.
QList<PictureText> LayOutRotationCanvas(const editor::EnvelopeModel& envelope, const RotationCanvas& canvas);

// Paints rows [top, top + rows) of the picture.
QImage PaintPictureBand(const QList<PictureText>& texts, const RotationCanvas& canvas, int top, int rows);

// Places the picture, painted band by band, on the page turned by 180 degrees and ends the
// document. It covers the very rectangle that normal printing gives the envelope
// (EnvelopeOnPage): one origin, the paper's corner, for both, so one calibration serves both.
PrintStatus PrintPictureRotated(PrinterDevice& device, const QList<PictureText>& texts,
                                const RotationCanvas& canvas, const editor::EnvelopeModel& envelope,
                                double offX, double offY);

// The whole rotated envelope as one job. A picture too large to make is refused with a message.
PrintStatus RenderRotated(PrinterDevice& device, const editor::EnvelopeModel& envelope, double offX,
                          double offY, double dpi);

// Rows per band: about 64 MB of picture at a time.
int RowsPerBand(const RotationCanvas& canvas);

}  // namespace print
