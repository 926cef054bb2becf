// Addresses as they arrive in real lists, each with the division code it belongs to (GB/T 2260),
// written by hand: former names, traditional forms, full-width forms, no province, extra words.
#include <gtest/gtest.h>

#include "data/divisions.h"

namespace {

using 生成邮编::Divisions;

TEST(AddressListTest, RealWorldAddressesFindTheirDivision) {
  const struct {
    const char16_t* address;
    const char* code;
  } cases[] = {
      // Former names still on envelopes.
      {u"湖北省襄樊市樊城区人民路1号", "420606"},
      {u"云南省思茅市翠云区振兴大道", "5308"},  // 翠云区 itself became 思茅区
      {u"北京市崇文区天坛路12号", "110101"},
      {u"北京市宣武区广安门内大街", "110102"},
      {u"北京市密云县鼓楼大街", "110118"},
      {u"天津市蓟县渔阳镇 李四收", "120119"},
      {u"重庆市开县汉丰街道", "500154"},
      {u"西安市长安县韦曲镇", "610116"},
      {u"浙江省萧山市城厢街道", "330109"},
      // Traditional forms.
      {u"廣東省廣州市天河區天河路385號", "440106"},
      {u"廣州市越秀區中山五路", "440104"},
      {u"湖北省襄陽市樊城區", "420606"},
      // Full-width forms and the separators people put between the parts.
      {u"北京市／海淀区－中关村大街２７号", "110108"},
      {u"上海市；浦东新区；世纪大道１００号", "310115"},
      {u"浙江省·杭州市·西湖区", "330106"},
      {u"江苏省，苏州市，昆山市", "320583"},
      {u"江苏省、苏州市、昆山市", "320583"},
      {u"广东省　广州市　越秀区", "440104"},
      // No province, or no prefecture.
      {u"昆山市前进西路", "320583"},
      {u"成都市郫县犀浦镇", "510117"},
      {u"台州市椒江区", "331002"},
      // Extra words.
      {u"中国 北京市海淀区", "110108"},
      {u"中华人民共和国江苏省昆山市", "320583"},
      {u"中国 中国上海市浦东新区", "310115"},  // found by the address fuzzer
      {u"中国·浙江省·杭州市·西湖区 转王五", "330106"},
      {u"湖南省长沙市岳麓区麓山南路2号 湖南大学 转 张三收", "430104"},
  };
  const Divisions& divisions = Divisions::Shipped();
  for (const auto& c : cases) {
    const QString address = QString::fromUtf16(c.address);
    const std::vector<int> read = divisions.Read(address);
    QStringList codes;
    for (const int d : read) codes << divisions.all()[d].code;
    EXPECT_EQ(codes, QStringList{QString::fromLatin1(c.code)}) << address.toStdString();
  }
}

}  // namespace
