#include "data/csv_export.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>

#include "data/data_texts.h"

namespace {

using data::CsvEncoding;

const std::vector<data::Record> kRecords = {
    {u"1"_qs, u"张三"_qs, u"310000"_qs, u"浙江省杭州市//西湖区"_qs},
    {u"2"_qs, u"李, 四"_qs, u"010010"_qs, u"他说\"你好\"\n第二行"_qs},
    {u"3"_qs, u""_qs, u""_qs, u"𠀀 U+20000　"_qs},
};

const QString kExpected =
    u"序号,收件人,邮　编,地　址\r\n"
    u"1,张三,310000,浙江省杭州市//西湖区\r\n"
    u"2,\"李, 四\",010010,\"他说\"\"你好\"\"\n第二行\"\r\n"
    u"3,,,𠀀 U+20000　\r\n"_qs;

TEST(CsvExportTest, QuotesLikeSpreadsheetsInBothEncodings) {
  const QByteArray utf8 = data::RecordsToCsv(kRecords, CsvEncoding::kUtf8);
  ASSERT_TRUE(utf8.startsWith("\xEF\xBB\xBF"));
  EXPECT_EQ(QString::fromUtf8(utf8.mid(3)), kExpected);

  const QByteArray gb = data::RecordsToCsv(kRecords, CsvEncoding::kGb18030);
  EXPECT_FALSE(gb.startsWith("\xEF\xBB\xBF"));
  QStringDecoder decoder("GB18030");
  const QString back = decoder.decode(gb);
  EXPECT_FALSE(decoder.hasError());
  EXPECT_EQ(back, kExpected);
}

TEST(CsvExportTest, WritesTheFileAndReportsFailure) {
  QTemporaryDir dir;
  const QString path = dir.filePath(u"名单.csv"_qs);
  EXPECT_EQ(data::ExportRecords(path, kRecords, CsvEncoding::kUtf8), QString());
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), data::RecordsToCsv(kRecords, CsvEncoding::kUtf8));

  EXPECT_FALSE(
      data::ExportRecords(dir.filePath(u"无此目录/名单.csv"_qs), kRecords, CsvEncoding::kUtf8).isEmpty());
}

}  // namespace
