// The build tool that makes Par.mdb from the sources in resources/.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "store/database.h"
#include "store/postcode_source.h"
#include "tests/support/par_database.h"

namespace {

QString S(const char16_t* text) { return QString::fromUtf16(text); }
const QString kResources = QStringLiteral(KOVA_SOURCE_DIR "/resources/");

int RunTool(const QString& target, const QString& postcodes) {
  QProcess tool;
  tool.start(QStringLiteral(KOVA_BUILD_DIR "/tools/make_par_db"),
             {target, kResources + S(u"par_schema.sql"), kResources + S(u"par_rows.sql"), postcodes,
              kResources + S(u"standard_formats.tsv")});
  EXPECT_TRUE(tool.waitForFinished(60000));
  return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
}

TEST(ParBuildTest, TheShippedFileHoldsEveryPostcodeOfTheSource) {
  test::ParDatabase db;
  const DataBase::PostcodeSource source = DataBase::ReadPostcodeSource(kResources + S(u"postcodes.tsv"));
  DataBase::Connection cn;
  DataBase::Recordset rs;
  ASSERT_TRUE(DataBase::OpenRecordset(cn, rs, S(u"SELECT * FROM 邮编 ORDER BY 省份,地区")));
  EXPECT_EQ(rs.RecordCount(), int(source.rows.size()));
  EXPECT_EQ(rs.Value(S(u"邮编")).toString().size(), 6);
  DataBase::CloseRecordset(cn, rs);
}

TEST(ParBuildTest, ABadSourceBuildsNoFile) {
  QTemporaryDir dir;
  const QString postcodes = dir.filePath(S(u"postcodes.tsv"));
  QFile file(postcodes);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(S(u"# 测试\n浙江\t杭州\t310000\n浙江\t宁波\t31500\n").toUtf8());
  file.close();
  const QString target = dir.filePath(S(u"Par.mdb"));
  EXPECT_NE(RunTool(target, postcodes), 0);
  EXPECT_FALSE(QFile::exists(target));
  EXPECT_FALSE(QFile::exists(target + S(u".part")));

  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(S(u"浙江\t杭州\t310000\n").toUtf8());
  file.close();
  EXPECT_EQ(RunTool(target, postcodes), 0);
  EXPECT_EQ(test::RawSql(target, DataBase::ConnectionPassword(), S(u"SELECT * FROM 邮编")),
            QStringList{S(u"浙江|杭州|310000")});
}

}  // namespace
