#include <gtest/gtest.h>

#include "editor/envelope_model.h"

namespace {

using editor::EnvelopeModel;

TEST(SizeCaptionTest, WidthStartsAtTheFifthCharacterAndHeightFollowsTheStar) {
  const struct { const char16_t* caption; double w; double h; } cases[] = {
      {u"C6: 162*114 毫米", 162, 114}, {u"DL: 220*110 毫米", 220, 110}, {u"C4: 324*229 毫米", 324, 229},
      {u"自定义：220*111", 220, 111},  {u"自定义：90*45", 90, 45},       {u"自定义：0*0", 0, 0},
      {u"自定义：*", 0, 0},
  };
  for (const auto& c : cases) {
    const QString caption = QString::fromUtf16(c.caption);
    EXPECT_EQ(editor::CaptionWidth(caption), c.w) << caption.toStdString();
    EXPECT_EQ(editor::CaptionHeight(caption), c.h) << caption.toStdString();
  }
}

TEST(CanvasScaleTest, ConvertsWithHalvesToEven) {
  EnvelopeModel model;  // DL, W = 220
  model.SetCanvasSize({2200, 1100});  // 10 twips per mm
  EXPECT_EQ(model.MmToTwips(12.25), 122);  // 122.5 -> 122
  EXPECT_EQ(model.MmToTwips(12.35), 124);  // 123.5 -> 124
  EXPECT_DOUBLE_EQ(model.TwipsToMm(123), 12.3);
  model.SetCanvasSize({8000, 4000});   // 36.36... twips per mm
  EXPECT_DOUBLE_EQ(model.TwipsToMm(1), 0.03);  // 0.0275 -> 0.03
  EXPECT_DOUBLE_EQ(model.TwipsToMm(240), 6.6);
  EXPECT_EQ(model.MmToTwips(model.TwipsToMm(240)), 240);
}

TEST(CanvasScaleTest, NoChosenSizeOrZeroWidthNeverDividesByZero) {
  EnvelopeModel model;
  model.SetChosenSize(-1);
  EXPECT_EQ(model.MmToTwips(10), 0);
  EXPECT_EQ(model.TwipsToMm(100), 0);
  model.SetChosenSize(editor::kCustomSize);
  model.SetSizeCaption(editor::kCustomSize, QStringLiteral("自定义：0*0"));
  EXPECT_EQ(model.MmToTwips(10), 0);
  model.SetCanvasSize({0, 0});
  EXPECT_EQ(model.TwipsToMm(100), 0);
}

TEST(EnvelopeModelTest, PostCodeLabelStandsLeftOfTheSenderPostcode) {
  EnvelopeModel model;
  model.SetBoxGeometry(editor::kSenderPostcodeBox, QRect(5000, 3000, 1770, 360));
  EXPECT_EQ(model.PostCodeLabelGeometry(), QRect(5000 - 751, 3080, 751, 182));
}

}  // namespace
