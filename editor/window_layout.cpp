#include "editor/window_layout.h"

#include <algorithm>

#include "common/numbers.h"

namespace editor {
namespace {

constexpr int kPanelTop = 360;  // PIC1's edges inside SST
constexpr int kPanelBottom = 50;

}  // namespace

QSize RoomOnScreen(QSize screen) {
  return {screen.width() - kWindowMarginWidth,
          screen.height() - kScreenBottomReserve - kTipLineHeight - kWindowMarginHeight};
}

QPoint PlaceOnScreen(QSize screen, QSize window) {
  return {std::max((screen.width() - window.width()) / 2, 0), 0};
}

EnvelopeTabLayout LayoutEnvelopeTab(const EnvelopeTabInput& in) {
  const bool proportional = in.W > 0 && in.H > 0;
  const double w = proportional ? in.W : 220.0;
  const double h = proportional ? in.H : 110.0;
  const int p = in.panelWidth;
  const int n = in.navigatorHeight;

  double sw = in.room.width();
  double sh = in.room.height();
  // Either the full width fits and the tab loses height, or the height limits and it loses width.
  const double canvasWidth = sw - p - 240;
  if (sh - n - 400 >= canvasWidth * h / w)
    sh = canvasWidth * h / w + n + 400;
  else
    sw = (sh - n - 400) * w / h + p + 240;
  // The panel lays out in full rather than scrolling wherever the screen is tall enough.
  sh = std::max(sh, std::min(double(in.room.height()), double(in.panelHeight + kPanelTop + kPanelBottom)));
  // Room too small for the panel still gets a canvas of zero, never a negative one.
  sw = std::max(sw, double(p + 240));
  sh = std::max(sh, double(n + 400));

  EnvelopeTabLayout out;
  out.tabs = QRect(0, 0, common::RoundToInt(sw), common::RoundToInt(sh));
  const int tabWidth = out.tabs.width();
  const int tabHeight = out.tabs.height();
  out.window = QSize(tabWidth + kWindowMarginWidth, tabHeight + kTipLineHeight + kWindowMarginHeight);
  out.panel = QRect(tabWidth - p - 40, kPanelTop, p, tabHeight - kPanelTop - kPanelBottom);
  const int epWidth = tabWidth - p - 240;
  out.canvas = QRect(40, 360, epWidth, common::RoundToInt(epWidth * h / w));
  out.navigator = QRect(out.canvas.left(), out.canvas.top() + out.canvas.height(), epWidth, n);
  const int x = out.canvas.left() + epWidth + 80;
  out.separatorDark = QLine(x, 320, x, tabHeight - 20);
  out.separatorLight = QLine(x + 20, 320, x + 20, tabHeight - 20);
  out.tip = QRect(0, tabHeight + 40, tabWidth, kTipLineHeight);
  return out;
}

GridTabLayout LayoutGridTab(QSize tabs, int panelWidth) {
  GridTabLayout out;
  const int gridWidth = std::max(tabs.width() - panelWidth - 160, 0);
  const int gridHeight = std::max(tabs.height() - 520, 0);
  out.grid = QRect(40, 440, gridWidth, gridHeight);
  out.panel = QRect(out.grid.left() + gridWidth + 60, 340, panelWidth, gridHeight + 100);
  return out;
}

}  // namespace editor

namespace editor {

int TwipsToPixels(int twips) { return common::RoundToInt(twips / 15.0); }

QRect TwipsToPixels(const QRect& twips) {
  return QRect(TwipsToPixels(twips.left()), TwipsToPixels(twips.top()), TwipsToPixels(twips.width()),
               TwipsToPixels(twips.height()));
}

}  // namespace editor
