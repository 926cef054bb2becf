#include "data/postcodes.h"

#include <gtest/gtest.h>

#include <random>

#include "store/postcode_source.h"

namespace {

using 生成邮编::Division;
using 生成邮编::Divisions;
using 生成邮编::Level;
using 生成邮编::PostcodeIndex;
using 生成邮编::PostcodeTable;

PostcodeTable ShippedTable() {
  PostcodeTable table;
  for (const DataBase::PostcodeRow& row :
       DataBase::ReadPostcodeSource(QStringLiteral(KOVA_SOURCE_DIR "/resources/postcodes.tsv")).rows)
    table.push_back({row.province, row.region, row.postcode});
  return table;
}

const PostcodeIndex& ShippedIndex() {
  static const PostcodeIndex index(ShippedTable());
  return index;
}

TEST(PostcodeIndexTest, EveryRowOfTheShippedTableNamesADivision) {
  ASSERT_GT(Divisions::Shipped().all().size(), 3000u);
  QStringList unplaced;
  for (int row : ShippedIndex().unplacedRows())
    unplaced << ShippedIndex().rows()[row].省份 + u' ' + ShippedIndex().rows()[row].地区;
  EXPECT_TRUE(unplaced.isEmpty()) << unplaced.join(u", "_qs).toStdString();
}

TEST(LookupPostcodeTest, ReadsAddressesFromTheirStart) {
  const struct {
    const char16_t* address;
    const char16_t* postcode;
  } cases[] = {
      // Division names inside street names count for nothing.
      {u"南京市鼓楼区中山路8号", u"210000"},
      {u"内蒙古自治区呼和浩特市新城区中山东路12号", u"010000"},
      {u"呼和浩特市新城区中山东路12号", u"010000"},
      {u"宁波市海曙区中山西路5号", u"315000"},
      {u"深圳市福田区滨海大道", u"518000"},
      {u"北京市东城区和平里东街", u"100010"},
      {u"中山路8号", u""},
      {u"广东中山东路", u""},
      // Repeated names: the division they stand under decides.
      {u"舟山市普陀区", u"316000"},
      {u"上海市普陀区", u"200333"},
      {u"普陀区长寿路", u""},  // 上海 or 舟山: no guess
      {u"北京市朝阳区建国路", u"100020"},
      {u"辽宁省朝阳市", u"122000"},
      {u"辽宁朝阳双塔区", u"122000"},
      {u"吉林省吉林市船营区", u"132000"},
      {u"吉林吉林市", u"132000"},
      {u"天津市河北区", u"300143"},
      {u"青海省海南藏族自治州共和县", u"813000"},
      {u"海南藏族自治州共和县", u"813000"},
      {u"海南省三亚市", u"572000"},
      // Short forms and the prefecture left out.
      {u"广东广州天河区体育西路", u"510000"},
      {u"内蒙古呼和浩特", u"010000"},
      {u"浙江杭州 文三路", u"310000"},
      {u"江苏省昆山市前进西路", u"215000"},
      {u"中国 浙江省 杭州市 西湖区", u"310000"},
      {u"浙江省//杭州市//西湖区", u"310000"},
      // Not placed below the province: no code rather than a province-wide guess.
      {u"吉林省", u""},
      {u"浙江省某县", u""},
      {u"北京市", u""},
      {u"", u""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShippedIndex().LookupPostcode(QString::fromUtf16(c.address)), QString::fromUtf16(c.postcode))
        << QString::fromUtf16(c.address).toStdString();
}

TEST(LookupPostcodeTest, LongAddressAndBadTableRows) {
  EXPECT_EQ(ShippedIndex().LookupPostcode(u"浙江省杭州市"_qs + QString(10000, u'路')), u"310000"_qs);
  EXPECT_EQ(ShippedIndex().LookupPostcode(QString(10000, u'浙')), QString());
  // A row whose code is not six digits gives no code; the prefecture's row stands in.
  const PostcodeIndex index({{u"浙江"_qs, u"杭州"_qs, u"31000"_qs},
                             {u"浙江"_qs, u"宁波"_qs, u"3150OO"_qs},
                             {u"浙江"_qs, u"西湖"_qs, u"310013"_qs}});
  EXPECT_EQ(index.LookupPostcode(u"浙江省杭州市上城区"_qs), QString());
  EXPECT_EQ(index.LookupPostcode(u"浙江省宁波市"_qs), QString());
  EXPECT_EQ(index.LookupPostcode(u"杭州市西湖区"_qs), u"310013"_qs);
}

// A thousand addresses written the ways people write them, from every part of the country, with
// street names made of division names. No code may be wrong, and nearly all must be found.
TEST(LookupPostcodeTest, GeneratedAddressesGetTheirOwnCodeOrNone) {
  const Divisions& divisions = Divisions::Shipped();
  const std::vector<Division>& all = divisions.all();
  const PostcodeIndex& index = ShippedIndex();
  // The expected code, from the division the address was made from.
  const auto rowFor = [&](int province, int division) -> QString {
    for (const auto& row : index.rows())
      if (all[province].names.contains(row.省份) && all[division].names.contains(row.地区)) return row.邮编;
    return {};
  };
  std::vector<int> counties;
  for (int d = 0; d < int(all.size()); ++d)
    if (all[d].level == Level::kCounty && !all[d].names[0].contains(u"开发区"_qs)) counties.push_back(d);

  std::mt19937 rng(20261208);
  const auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  const auto name = [&](int d, bool shortForm) {
    const QStringList& names = all[d].names;
    return shortForm && names.size() > 1 ? names[1] : names[0];
  };
  const QString kStreets[] = {u"路"_qs, u"东路"_qs, u"西路"_qs, u"大道"_qs, u"里"_qs, u"大街"_qs, u"南路"_qs};

  int withCode = 0, filled = 0;
  QStringList wrong;
  for (int n = 0; n < 1000; ++n) {
    const int county = counties[pick(int(counties.size()))];
    const int parent = all[county].parent;
    const int province = divisions.ProvinceOf(county);
    const int prefecture = parent == province ? -1 : parent;
    const QString street =
        name(pick(int(all.size())), true) + kStreets[pick(7)] + QString::number(pick(300) + 1) + u"号"_qs;

    QString address, expected;
    bool namesCounty = true;
    const int form = pick(6);
    const bool countyLevelCity = all[county].names[0].endsWith(u'市');
    if (prefecture < 0 || form == 0) {  // province, (prefecture,) county in full
      address = name(province, false) + (prefecture < 0 ? QString() : name(prefecture, false)) +
                name(county, false) + street;
    } else if (form == 1) {  // no province
      address = name(prefecture, false) + name(county, false) + street;
    } else if (form == 2) {  // short forms with spaces
      address = name(province, true) + u' ' + name(prefecture, true) + u' ' + name(county, false) + street;
    } else if (form == 3 || (form == 4 && !countyLevelCity)) {  // no county
      address = name(province, false) + name(prefecture, false) + street;
      namesCounty = false;
    } else if (form == 4) {  // a county-level city under its province alone
      address = name(province, false) + name(county, false) + street;
    } else {  // short province and prefecture, then the street
      address = name(province, true) + name(prefecture, true) + u"市"_qs + name(county, false) + street;
    }
    if (namesCounty) expected = rowFor(province, county);
    if (expected.isEmpty() && prefecture >= 0) expected = rowFor(province, prefecture);

    const QString got = index.LookupPostcode(address);
    if (!expected.isEmpty()) ++withCode;
    if (!got.isEmpty() && got == expected) ++filled;
    if (!got.isEmpty() && got != expected) wrong << address + u" → "_qs + got + u" ("_qs + expected + u')';
  }
  EXPECT_TRUE(wrong.isEmpty()) << wrong.join(u"\n"_qs).toStdString();
  EXPECT_GE(double(filled) / withCode, 0.98) << filled << " of " << withCode;
}

TEST(CompletePostcodesTest, FillsOnlyEmptyPostcodesAndMarksThem) {
  std::vector<data::Record> records = {{u"1"_qs, u"甲"_qs, u""_qs, u"浙江省宁波市海曙区"_qs},
                                       {u"2"_qs, u"乙"_qs, u"999999"_qs, u"浙江省宁波市"_qs},
                                       {u"3"_qs, u"丙"_qs, u""_qs, u""_qs},
                                       {u"4"_qs, u"丁"_qs, u""_qs, u"中山路1号"_qs}};
  const 生成邮编::CompletionCounts counts = 生成邮编::CompletePostcodes(records, ShippedIndex());
  EXPECT_EQ(counts.filled, 1);
  EXPECT_EQ(counts.unrecognised, 1);  // the empty address is not counted
  EXPECT_EQ(records[0][data::kPostcodeColumn], u"315000"_qs);
  EXPECT_TRUE(records[0].postcodeGenerated);
  EXPECT_EQ(records[1][data::kPostcodeColumn], u"999999"_qs);
  EXPECT_FALSE(records[1].postcodeGenerated);
  EXPECT_FALSE(records[3].postcodeGenerated);
}

TEST(PostcodeCheckTest, MarksPostcodesOfAnotherProvince) {
  const struct {
    const char16_t* postcode;
    const char16_t* address;
    bool disagrees;
  } cases[] = {
      {u"310012", u"浙江省杭州市", false},
      {u"325000", u"浙江省杭州市", false},  // any Zhejiang code
      {u"100000", u"浙江省杭州市", true},
      {u" 10 ", u"浙江省", true},
      {u"100000", u"杭州市西湖区", true},               // the city tells the province
      {u"010000", u"呼和浩特市新城区中山东路", false},  // not 山东
      {u"200000", u"普陀区长寿路", false},              // 上海 or 浙江: nothing to judge
      {u"", u"浙江省", false},
      {u"3", u"浙江省", false},
      {u"ab1000", u"浙江省", false},
      {u"100000", u"中山路", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(
        ShippedIndex().DisagreesWithAddress(QString::fromUtf16(c.postcode), QString::fromUtf16(c.address)),
        c.disagrees)
        << QString::fromUtf16(c.postcode).toStdString() << " / "
        << QString::fromUtf16(c.address).toStdString();
}

}  // namespace
