// Each user's copy of the shipped Par.mdb: made once, never overwritten, its shipped tables
// brought up to date from a newer template without touching the user's own, and every way it
// can fail told with the template standing in.
#include "store/user_copy.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "store/database.h"
#include "store/store_texts.h"
#include "tests/support/par_database.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kBuiltTemplate = QStringLiteral(KOVA_BUILD_DIR "/Par.mdb");

class UserCopyTest : public testing::Test {
 protected:
  UserCopyTest() {
    templatePath_ = dir_.filePath(u"share/Par.mdb"_s);
    copyPath_ = dir_.filePath(u"home/kovapost/Par.mdb"_s);
    QDir(dir_.path()).mkpath(u"share"_s);
    EXPECT_TRUE(QFile::copy(kBuiltTemplate, templatePath_)) << "build Par.mdb first";
  }
  QStringList Sql(const QString& path, const QString& sql) const {
    return test::RawSql(path, DataBase::ConnectionPassword(), sql);
  }
  QByteArray Bytes(const QString& path) const {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }

  QTemporaryDir dir_;
  QString templatePath_;
  QString copyPath_;
};

TEST_F(UserCopyTest, TheFirstStartCopiesTheTemplateForItsOwnerAlone) {
  const DataBase::Preparation first = DataBase::PrepareUserCopy(templatePath_, copyPath_);
  EXPECT_EQ(first.problem, QString());
  EXPECT_EQ(first.path, copyPath_);
  EXPECT_FALSE(first.readOnly);
  EXPECT_EQ(Sql(copyPath_, u"SELECT count(*) FROM 邮编"_s),
            Sql(templatePath_, u"SELECT count(*) FROM 邮编"_s));
  // Only the copy is left in the folder, no temporary file, and only its owner may read it.
  EXPECT_EQ(QDir(QFileInfo(copyPath_).path()).entryList(QDir::Files), QStringList{u"Par.mdb"_s});
  EXPECT_EQ(QFile::permissions(copyPath_) & (QFileDevice::ReadOther | QFileDevice::ReadGroup), 0);
}

// Later starts keep the copy. A newer template replaces the postcodes and brings new shipped
// tables; the user's options, box texts and formats stay as the user left them, and the
// template's own 格式 rows do not come in.
TEST_F(UserCopyTest, ANewerTemplateUpdatesShippedTablesAndKeepsTheUsersOwn) {
  ASSERT_EQ(DataBase::PrepareUserCopy(templatePath_, copyPath_).problem, QString());
  Sql(copyPath_,
      u"INSERT INTO 格式 (Name, Ctl, X, Y, W, H, Color, fName, fSize, fBold, fItalic, fUnderline, "
      u"fStrikethru) "
      "VALUES ('DL: 220*110 毫米', 7, 12.5, 30, 80, 10, 255, '黑体', 14, 1, 0, 0, 0);"
      "UPDATE 默认 SET Val = 'mine' WHERE Ord = 9; UPDATE 内容 SET Con = '寄件人地址' WHERE Ctl = 8;"_s);

  Sql(templatePath_,
      u"DELETE FROM 邮编; INSERT INTO 邮编 VALUES ('新省', '新区', '999000');"
      "DROP TABLE IF EXISTS 标准格式; CREATE TABLE 标准格式 (Name TEXT, Ctl SMALLINT, X DOUBLE);"
      "INSERT INTO 标准格式 VALUES ('DL: 220*110 毫米', 7, 40);"
      "CREATE INDEX 标准格式_name ON 标准格式 (Name);"
      "INSERT INTO 格式 (Name, Ctl, X) VALUES ('C5: 229*162 毫米', 0, 1)"_s);
  const DataBase::Preparation updated = DataBase::PrepareUserCopy(templatePath_, copyPath_);
  EXPECT_EQ(updated.problem, QString());
  EXPECT_EQ(updated.path, copyPath_);

  EXPECT_EQ(Sql(copyPath_, u"SELECT * FROM 邮编"_s), QStringList{u"新省|新区|999000"_s});
  EXPECT_EQ(Sql(copyPath_, u"SELECT * FROM 标准格式"_s), QStringList{u"DL: 220*110 毫米|7|40.0"_s});
  EXPECT_EQ(Sql(copyPath_, u"SELECT name FROM sqlite_master WHERE type = 'index'"_s),
            QStringList{u"标准格式_name"_s});
  EXPECT_EQ(Sql(copyPath_, u"SELECT Name, Ctl, X, fName FROM 格式"_s),
            QStringList{u"DL: 220*110 毫米|7|12.5|黑体"_s});
  EXPECT_EQ(Sql(copyPath_, u"SELECT Val FROM 默认 WHERE Ord = 9"_s), QStringList{u"mine"_s});
  EXPECT_EQ(Sql(copyPath_, u"SELECT Con FROM 内容 WHERE Ctl = 8"_s), QStringList{u"寄件人地址"_s});

  // Once up to date, the same template changes nothing: the user's later edit of a shipped
  // table would otherwise be undone at every start.
  Sql(copyPath_, u"INSERT INTO 邮编 VALUES ('本地', '本地', '000001')"_s);
  EXPECT_EQ(DataBase::PrepareUserCopy(templatePath_, copyPath_).problem, QString());
  EXPECT_EQ(Sql(copyPath_, u"SELECT count(*) FROM 邮编"_s), QStringList{u"2"_s});
}

// Whatever goes wrong, the user is told with "数据库打开错误！" and the reason, the program goes on
// with the template read-only (the shipped defaults), and a copy that is there is left exactly
// as it was.
TEST_F(UserCopyTest, FailuresAreToldAndTheTemplateStandsInReadOnly) {
  const QString blocker = dir_.filePath(u"blocker"_s);
  QFile(blocker).open(QIODevice::WriteOnly);  // a file where the data folder should be
  const QByteArray damaged = "SQLite format 3\0 and then nothing a database would hold";

  struct Case {
    const char* what;
    QString templatePath;
    QString copyPath;
    QByteArray copyBytes;  // written first when not empty
    QString reason;
    QString expectedPath;
  } cases[] = {
      {"damaged copy", templatePath_, copyPath_, damaged, DataBase::kCopyDamaged.arg(copyPath_),
       templatePath_},
      {"data folder cannot be made",
       templatePath_,
       blocker + u"/kovapost/Par.mdb"_s,
       {},
       DataBase::kCopyNotMade.arg(blocker + u"/kovapost"_s),
       templatePath_},
      {"no template",
       dir_.filePath(u"gone/Par.mdb"_s),
       copyPath_,
       {},
       DataBase::kTemplateMissing.arg(dir_.filePath(u"gone/Par.mdb"_s)),
       copyPath_},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QFile::remove(copyPath_);
    if (!c.copyBytes.isEmpty()) {
      QDir().mkpath(QFileInfo(c.copyPath).path());
      QFile file(c.copyPath);
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(c.copyBytes);
    }
    const DataBase::Preparation p = DataBase::PrepareUserCopy(c.templatePath, c.copyPath);
    EXPECT_EQ(p.problem, DataBase::kOpenError + u'\n' + c.reason);
    EXPECT_EQ(p.path, c.expectedPath);
    EXPECT_EQ(p.readOnly, c.expectedPath == templatePath_) << "the template stands in, never to be written";
    EXPECT_EQ(Bytes(c.copyPath), c.copyBytes) << "a copy is never replaced, and none is half made";
  }
}

}  // namespace
