#include "data/postcodes.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using 生成邮编::PostcodeIndex;
using 生成邮编::PostcodeRow;
using 生成邮编::PostcodeTable;

// ---- The straightforward lookup, walking the whole table once or twice, as the reference. ----
bool Occurs(const QString& needle, const QString& text) { return !text.isEmpty() && text.contains(needle); }

QString ReferenceLookup(const QString& address, const PostcodeTable& table) {
  QString result;
  for (const PostcodeRow& row : table) {
    if (!Occurs(row.省份, address)) continue;
    result = row.邮编.left(1) + u"00000"_qs;
    const QString rest = row.省份.isEmpty() ? address : QString(address).replace(row.省份, QString());
    if (Occurs(row.地区, rest)) {
      result = row.邮编;
      break;
    }
  }
  if (result.isEmpty()) {
    for (const PostcodeRow& row : table) {
      if (Occurs(row.地区, address)) {
        result = row.邮编;
        break;
      }
    }
  }
  return result;
}

const PostcodeTable kZhejiang = {{u"浙江"_qs, u"杭州"_qs, u"310000"_qs},
                                 {u"浙江"_qs, u"宁波"_qs, u"315000"_qs}};

TEST(LookupPostcodeTest, TableOfTwoZhejiangRegions) {
  const PostcodeIndex index(kZhejiang);
  const struct {
    const char16_t* address;
    const char16_t* postcode;
  } cases[] = {
      {u"浙江省宁波市某路", u"315000"},
      {u"浙江省温州市", u"300000"},
      {u"宁波市某路", u"315000"},
      {u"北京市", u""},
      {u"", u""},
      {u"浙江", u"300000"},
      {u"杭州宁波", u"310000"},
      {u"浙江杭州", u"310000"},
  };
  for (const auto& c : cases) {
    const QString address = QString::fromUtf16(c.address);
    EXPECT_EQ(index.LookupPostcode(address), QString::fromUtf16(c.postcode)) << address.toStdString();
    EXPECT_EQ(ReferenceLookup(address, kZhejiang), QString::fromUtf16(c.postcode)) << address.toStdString();
  }
}

TEST(CompletePostcodesTest, FillsOnlyEmptyPostcodes) {
  std::vector<data::Record> records = {
      {u"1"_qs, u"甲"_qs, u""_qs, u"浙江省宁波市某路"_qs},
      {u"2"_qs, u"乙"_qs, u"100000"_qs, u"浙江省宁波市"_qs},  // kept though it disagrees
      {u"3"_qs, u"丙"_qs, u""_qs, u""_qs},
      {u"4"_qs, u"丁"_qs, u" "_qs, u"宁波"_qs},  // a space is a postcode
      {u"5"_qs, u"戊"_qs, u""_qs, u"北京市"_qs},
  };
  EXPECT_EQ(生成邮编::CompletePostcodes(records, PostcodeIndex(kZhejiang)), 1);
  const QStringList postcodes = {u"315000"_qs, u"100000"_qs, u""_qs, u" "_qs, u""_qs};
  for (int i = 0; i < int(records.size()); ++i)
    EXPECT_EQ(records[i][data::kPostcodeColumn], postcodes[i]) << i;
}

// Names that overlap and repeat each other, empty ones included, so that every rule of the lookup
// (removing the province, the last row visited, the second pass, empty texts) is exercised.
TEST(LookupPostcodeEquivalenceTest, IndexMatchesTheTableWalkOnRandomTables) {
  const QStringList provinces = {u"浙江"_qs, u"江"_qs, u"江苏"_qs, u"北京"_qs, u""_qs, u"京"_qs, u"苏州"_qs};
  const QStringList regions = {u"杭州"_qs, u"江州"_qs, u"苏州"_qs, u""_qs,    u"州"_qs,
                               u"北京"_qs, u"浙"_qs,   u"宁波"_qs, u"江江"_qs};
  const QStringList codes = {u"310000"_qs, u"215000"_qs, u"100000"_qs, u""_qs, u"9"_qs, u"５1"_qs};
  const QStringList pieces = {u"浙江"_qs, u"江"_qs,   u"苏"_qs, u"州"_qs, u"省"_qs, u"北京"_qs,
                              u"杭州"_qs, u"宁波"_qs, u"路"_qs, u" "_qs,  u"京"_qs, u"浙"_qs};
  std::mt19937 rng(17);
  const auto pick = [&](const QStringList& l) {
    return l[std::uniform_int_distribution<int>(0, l.size() - 1)(rng)];
  };
  for (int round = 0; round < 200; ++round) {
    PostcodeTable table;
    const int rows = std::uniform_int_distribution<int>(0, 25)(rng);
    for (int i = 0; i < rows; ++i) table.push_back({pick(provinces), pick(regions), pick(codes)});
    if (round % 2 == 0)  // the table as the database orders it, and in any order
      std::sort(table.begin(), table.end(), [](const PostcodeRow& a, const PostcodeRow& b) {
        return std::tie(a.省份, a.地区) < std::tie(b.省份, b.地区);
      });
    const PostcodeIndex index(table);
    for (int a = 0; a < 40; ++a) {
      QString address;
      const int n = std::uniform_int_distribution<int>(0, 6)(rng);
      for (int i = 0; i < n; ++i) address += pick(pieces);
      ASSERT_EQ(index.LookupPostcode(address), ReferenceLookup(address, table))
          << "round " << round << " address " << address.toStdString();
    }
  }
}

TEST(PostcodeCheckTest, MarksPostcodesOfAnotherProvince) {
  const PostcodeIndex index({{u"北京"_qs, u"东城"_qs, u"100010"_qs},
                             {u"浙江"_qs, u"杭州"_qs, u"310000"_qs},
                             {u"浙江"_qs, u"温州"_qs, u"325000"_qs}});
  const struct {
    const char16_t* postcode;
    const char16_t* address;
    bool disagrees;
  } cases[] = {
      {u"310012", u"浙江省杭州市", false},
      {u"325000", u"浙江省杭州市", false},  // any Zhejiang code
      {u"100000", u"浙江省杭州市", true},
      {u" 10 ", u"浙江省", true},
      {u"310000", u"杭州市", false},  // no province named: nothing to judge
      {u"", u"浙江省", false},
      {u"3", u"浙江省", false},
      {u"ab1000", u"浙江省", false},
      {u"100000", u"浙江省杭州市北京路", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(index.DisagreesWithAddress(QString::fromUtf16(c.postcode), QString::fromUtf16(c.address)),
              c.disagrees)
        << QString::fromUtf16(c.postcode).toStdString() << " / "
        << QString::fromUtf16(c.address).toStdString();
}

}  // namespace
