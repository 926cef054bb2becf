#include "editor/window_layout.h"

#include <gtest/gtest.h>

#include "editor/custom_size.h"

namespace {

using editor::EnvelopeTabInput;
using editor::LayoutEnvelopeTab;

constexpr int kPanel = 4200;
constexpr int kNavigator = 255;

TEST(EnvelopeTabLayoutTest, CanvasKeepsTheEnvelopeProportionsAndFitsTheRoom) {
  const struct {
    const char* name;
    QSize room;
    double W, H;
  } cases[] = {
      {"DL on a wide screen", {20410, 10290}, 220, 110}, {"C4 on a wide screen", {20410, 10290}, 324, 229},
      {"custom 250 x 176", {20410, 10290}, 250, 176},    {"two-digit width", {20410, 10290}, 90, 45},
      {"DL on a small screen", {11920, 7770}, 220, 110}, {"C6 on a tall screen", {15000, 14000}, 162, 114},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto layout = LayoutEnvelopeTab({c.room, kPanel, kNavigator, c.W, c.H, 0});
    const QRect& ep = layout.canvas;
    EXPECT_NEAR(double(ep.width()) / ep.height(), c.W / c.H, 0.002);
    EXPECT_LE(layout.tabs.width(), c.room.width());
    EXPECT_LE(layout.tabs.height(), c.room.height() + 1);
    // The tab is only as large as the canvas needs: one of its sides is full.
    const bool fullWidth = layout.tabs.width() == c.room.width();
    const bool fullHeight = std::abs(layout.tabs.height() - c.room.height()) <= 1;
    EXPECT_TRUE(fullWidth || fullHeight);
    // The panel stands right of the canvas and the separator between them; the navigator under it.
    EXPECT_EQ(ep.topLeft(), QPoint(40, 360));
    EXPECT_EQ(layout.panel.left(), ep.right() + 1 + 200 - 40);
    EXPECT_EQ(layout.separatorDark.x1(), ep.right() + 1 + 80);
    EXPECT_EQ(layout.separatorLight.x1(), layout.separatorDark.x1() + 20);
    EXPECT_EQ(layout.navigator, QRect(ep.left(), ep.bottom() + 1, ep.width(), kNavigator));
    EXPECT_EQ(layout.tip, QRect(0, layout.tabs.height() + 40, layout.tabs.width(), 200));
    EXPECT_EQ(layout.window, QSize(layout.tabs.width() + 80, layout.tabs.height() + 200 + 580));
  }
}

TEST(EnvelopeTabLayoutTest, WidthOrHeightLimitsTheTab) {
  // DL on 1366 x 768: the full width fits, so the tab loses height.
  auto wide = LayoutEnvelopeTab({editor::RoomOnScreen({20490, 11520}), kPanel, kNavigator, 220, 110, 0});
  EXPECT_EQ(wide.tabs.width(), 20410);
  EXPECT_EQ(wide.canvas.width(), 20410 - kPanel - 240);
  EXPECT_EQ(wide.tabs.height(), wide.canvas.height() + kNavigator + 400);
  // C4 on the same screen: the height limits, so the tab loses width.
  auto tall = LayoutEnvelopeTab({editor::RoomOnScreen({20490, 11520}), kPanel, kNavigator, 324, 229, 0});
  EXPECT_EQ(tall.tabs.height(), 11520 - 450 - 200 - 580);
  EXPECT_LT(tall.tabs.width(), 20410);
}

TEST(EnvelopeTabLayoutTest, NoSizeOrNoRoomNeverDividesByZeroOrGoesNegative) {
  for (const auto& [W, H] : {std::pair{0.0, 0.0}, {220.0, 0.0}, {0.0, 110.0}, {-5.0, 10.0}}) {
    const auto layout = LayoutEnvelopeTab({{20410, 10290}, kPanel, kNavigator, W, H, 0});
    EXPECT_EQ(layout.canvas.width(), 2 * layout.canvas.height());  // laid out as DL
  }
  const auto cramped = LayoutEnvelopeTab({{1000, 300}, kPanel, kNavigator, 220, 110, 0});
  EXPECT_GE(cramped.canvas.width(), 0);
  EXPECT_GE(cramped.canvas.height(), 0);
  EXPECT_GE(cramped.panel.height(), 0);
}

TEST(EnvelopeTabLayoutTest, WindowSitsAtTheTopOfTheScreenCentred) {
  EXPECT_EQ(editor::PlaceOnScreen({20490, 11520}, {16000, 9000}), QPoint(2245, 0));
  EXPECT_EQ(editor::PlaceOnScreen({10000, 8000}, {16000, 9000}), QPoint(0, 0));
}

TEST(GridTabLayoutTest, GridAndPanelShareTheTab) {
  const auto layout = editor::LayoutGridTab({18000, 9000}, 2500);
  EXPECT_EQ(layout.grid, QRect(40, 440, 18000 - 2500 - 160, 9000 - 520));
  EXPECT_EQ(layout.panel, QRect(40 + layout.grid.width() + 60, 340, 2500, layout.grid.height() + 100));
  const auto tiny = editor::LayoutGridTab({1000, 300}, 2500);
  EXPECT_EQ(tiny.grid.size(), QSize(0, 0));
}

TEST(CustomSizeTest, AcceptsEnvelopesAndRefusesLopsidedOrEmptySizes) {
  const struct {
    const char* w;
    const char* h;
    std::optional<editor::WholeSize> expected;
  } cases[] = {
      {"162", "114", editor::WholeSize{162, 114}},
      {"176", "125", editor::WholeSize{176, 125}},
      {"220", "110", editor::WholeSize{220, 110}},
      {"230", "120", editor::WholeSize{230, 120}},
      {"229", "162", editor::WholeSize{229, 162}},
      {"324", "229", editor::WholeSize{324, 229}},
      {"220", "111", editor::WholeSize{220, 111}},
      {"250", "176", editor::WholeSize{250, 176}},
      {"90", "45", editor::WholeSize{90, 45}},
      {"100", "100", editor::WholeSize{100, 100}},
      {"250", "100", editor::WholeSize{250, 100}},
      {"251", "100", std::nullopt},
      {"100", "101", std::nullopt},
      {"0", "110", std::nullopt},
      {"220", "0", std::nullopt},
      {"", "110", std::nullopt},
      {"220", "", std::nullopt},
      {"", "", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.w) + " x " + c.h);
    EXPECT_EQ(editor::AcceptCustomSize(QString::fromLatin1(c.w), QString::fromLatin1(c.h)), c.expected);
  }
  EXPECT_EQ(editor::CustomSizeCaption({90, 45}), QStringLiteral("自定义：90*45"));
  EXPECT_EQ(editor::CustomSizeCaption({250, 176}), QStringLiteral("自定义：250*176"));
}

TEST(PixelConversionTest, FifteenTwipsToThePixelRounded) {
  EXPECT_EQ(editor::TwipsToPixels(240), 16);
  EXPECT_EQ(editor::TwipsToPixels(7), 0);   // 0.47
  EXPECT_EQ(editor::TwipsToPixels(22), 1);  // 1.47
  EXPECT_EQ(editor::TwipsToPixels(23), 2);  // 1.53
  EXPECT_EQ(editor::TwipsToPixels(-240), -16);
  EXPECT_EQ(editor::TwipsToPixels(QRect(7080, 3840, 1770, 360)), QRect(472, 256, 118, 24));
}

}  // namespace
