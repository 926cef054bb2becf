#include "store/postcode_source.h"

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QSet>

namespace {

QString S(const char16_t* text) { return QString::fromUtf16(text); }

// Whatever the shipped source holds, it must build a table that sends no letter astray.
TEST(PostcodeSourceTest, TheShippedSourceIsClean) {
  const DataBase::PostcodeSource source =
      DataBase::ReadPostcodeSource(QStringLiteral(KOVA_SOURCE_DIR "/resources/postcodes.tsv"));
  EXPECT_EQ(source.errors, QStringList());
  ASSERT_FALSE(source.rows.empty());
  static const QRegularExpression sixDigits(QStringLiteral("^[0-9]{6}$"));
  QSet<QString> pairs;
  for (const DataBase::PostcodeRow& row : source.rows) {
    SCOPED_TRACE(row.line);
    EXPECT_TRUE(sixDigits.match(row.postcode).hasMatch()) << row.postcode.toStdString();
    EXPECT_FALSE(row.province.isEmpty() || row.region.isEmpty());
    const QString pair = row.province + u'/' + row.region;
    EXPECT_FALSE(pairs.contains(pair)) << pair.toStdString();
    pairs.insert(pair);
  }
}

TEST(PostcodeSourceTest, AcceptsCommentsHeaderBlankLinesAndCrLf) {
  const DataBase::PostcodeSource source = DataBase::ParsePostcodeSource(
      S(u"\uFEFF# 说明\r\n省份\t地区\t邮编\r\n\r\n浙江\t杭州\t310000\r\n# 注释\n浙江\t宁波\t315000\n"));
  EXPECT_EQ(source.errors, QStringList());
  ASSERT_EQ(source.rows.size(), 2u);
  EXPECT_EQ(source.rows[1].province, S(u"浙江"));
  EXPECT_EQ(source.rows[1].region, S(u"宁波"));
  EXPECT_EQ(source.rows[1].postcode, S(u"315000"));
  EXPECT_EQ(source.rows[1].line, 6);
}

TEST(PostcodeSourceTest, RejectsLinesThatWouldShipBadRows) {
  const struct {
    const char16_t* line;
    const char* why;
  } cases[] = {
      {u"浙江\t杭州\t31000", "five digits"},
      {u"浙江\t杭州\t3100000", "seven digits"},
      {u"浙江\t杭州\t31000O", "a letter O"},
      {u"浙江\t杭州\t３１００００", "full-width digits"},
      {u"浙江\t\t310000", "no region"},
      {u"\t杭州\t310000", "no province"},
      {u"浙江\t杭州", "two fields"},
      {u"浙江\t杭州\t310000\t备注", "four fields"},
      {u"浙江 杭州 310000", "blanks instead of tabs"},
      {u"省份\t地区\t邮编", "a header after the first row"},
  };
  for (const auto& c : cases) {
    const DataBase::PostcodeSource source =
        DataBase::ParsePostcodeSource(S(u"浙江\t宁波\t315000\n") + QString::fromUtf16(c.line) + u'\n');
    EXPECT_EQ(source.rows.size(), 1u) << c.why;
    ASSERT_EQ(source.errors.size(), 1) << c.why;
    EXPECT_TRUE(source.errors[0].startsWith(QStringLiteral("line 2:"))) << source.errors[0].toStdString();
  }
  const DataBase::PostcodeSource twice =
      DataBase::ParsePostcodeSource(S(u"浙江\t宁波\t315000\n北京\t东城\t100010\n浙江\t宁波\t315000\n"));
  EXPECT_EQ(twice.errors.size(), 1);
  EXPECT_EQ(twice.rows.size(), 2u);
}

}  // namespace
