#pragma once
// The arithmetic of the main window's tab layouts, in twips, kept apart from the widgets so that
// it can be checked without a screen. The widgets only copy these rectangles onto themselves.

#include <QLine>
#include <QRect>
#include <QSize>

namespace editor {

// What LayoutEnvelopeTab starts from.
struct EnvelopeTabInput {
  QSize room;           // the largest the tab control SST may be
  int panelWidth;       // PIC1
  int navigatorHeight;  // NS
  double W;             // envelope width and height in mm
  double H;
  int panelHeight;  // what PIC1's controls need; the tab grows to it as far as the room allows
};

// Where every part of the envelope tab goes. Rectangles inside the tab are relative to SST.
struct EnvelopeTabLayout {
  QRect tabs;    // SST, relative to the window
  QRect panel;   // PIC1
  QRect canvas;  // EP
  QRect navigator;
  QLine separatorDark;  // the etched line right of the canvas: grey, then white 20 twips right
  QLine separatorLight;
  QRect tip;     // T2, relative to the window
  QSize window;  // SST with the window's margins and the tip line
};

constexpr int kScreenBottomReserve = 450;
constexpr int kTipLineHeight = 200;
constexpr int kWindowMarginWidth = 80;
constexpr int kWindowMarginHeight = 580;

// The room a window filling the screen (less its bottom strip) leaves for SST.
QSize RoomOnScreen(QSize screen);
// The window's top-left corner: at the top edge of the screen, centred horizontally.
QPoint PlaceOnScreen(QSize screen, QSize window);

// The envelope tab for W x H: SST shrinks around a canvas at the envelope's proportions that
// is as large as the room allows, but stays tall enough for the panel when the room allows. A W or H that is
// not positive is laid out as DL, so the layout never divides by zero.
EnvelopeTabLayout LayoutEnvelopeTab(const EnvelopeTabInput& in);

struct GridTabLayout {
  QRect grid;   // MSF
  QRect panel;  // PIC2
};
GridTabLayout LayoutGridTab(QSize tabs, int panelWidth);

}  // namespace editor

namespace editor {

// Twips to logical pixels at 15 twips each, halves to even, and back.
int TwipsToPixels(int twips);
QRect TwipsToPixels(const QRect& twips);
inline int PixelsToTwips(int pixels) { return pixels * 15; }

}  // namespace editor
