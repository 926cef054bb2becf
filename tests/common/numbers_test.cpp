#include <gtest/gtest.h>

#include "common/numbers.h"

namespace {

TEST(RoundingTest, HalvesGoToTheEvenNeighbour) {
  const struct { double in; double whole; double hundredths; } cases[] = {
      {0.5, 0, 0.5},     {1.5, 2, 1.5},      {2.5, 2, 2.5},     {-2.5, -2, -2.5},
      {1.005, 1, 1.0},   {0.375, 0, 0.38},   {0.125, 0, 0.12},  {3.5, 4, 3.5},
      {12.625, 13, 12.62}, {99.875, 100, 99.88},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(common::RoundHalfEven(c.in), c.whole) << c.in;
    EXPECT_DOUBLE_EQ(common::RoundToHundredths(c.in), c.hundredths) << c.in;
  }
  EXPECT_EQ(common::RoundToInt(1e300), std::numeric_limits<int>::max());
  EXPECT_EQ(common::RoundToInt(std::nan("")), 0);
}

TEST(ValTest, ReadsTheLeadingNumberLikeBasic) {
  const struct { const char16_t* text; double value; } cases[] = {
      {u"220*110", 220},  {u" 162*114 毫米", 162}, {u"", 0},         {u"abc", 0},
      {u"300abc", 300},   {u"-12.5mm", -12.5},     {u"1 2 3", 123},  {u"1.2.3", 1.2},
      {u"1e3", 1000},     {u"12E", 12},            {u"+7", 7},       {u"3-4", 3},
      {u"０１", 0},        {u".5", 0.5},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(common::Val(QString::fromUtf16(c.text)), c.value);
}

TEST(NumberTextTest, WholeNumbersHaveNoFraction) {
  EXPECT_EQ(common::NumberText(10001.0), QStringLiteral("10001"));
  EXPECT_EQ(common::NumberText(-3), QStringLiteral("-3"));
  EXPECT_EQ(common::NumberText(12.25), QStringLiteral("12.25"));
  EXPECT_EQ(common::NumberText(0.1 + 0.2), QStringLiteral("0.3"));
}

}  // namespace
