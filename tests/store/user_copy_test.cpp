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

// Later starts keep the copy. A later release makes its template anew (its own salt, a new
// stamp): its postcodes, default formats and new tables come into the copy, while the user's
// options, box texts and formats stay as the user left them and the template's 默认 rows do not
// come in. A rebuild of the same sources changes nothing, nor does a later start. A copy made
// by the earlier layout (stamped with a hash of its template file) is brought up to date too.
TEST_F(UserCopyTest, ALaterReleaseUpdatesShippedTablesAndKeepsTheUsersOwn) {
  const QString rebuilt = dir_.filePath(u"rebuilt/Par.mdb"_s), later = dir_.filePath(u"later/Par.mdb"_s);
  QDir(dir_.path()).mkpath(u"rebuilt"_s);
  QDir(dir_.path()).mkpath(u"later"_s);
  ASSERT_TRUE(test::MakeTemplate(rebuilt));
  ASSERT_TRUE(
      test::MakeTemplate(later, "CREATE TABLE 新表 (Val TEXT);",
                         "INSERT INTO 新表 VALUES ('新'); INSERT INTO 邮编 VALUES ('新省', '新区', '999000');"
                         "UPDATE 默认 SET Val = 'shipped' WHERE Ord = 9;"));
  ASSERT_NE(Bytes(rebuilt), Bytes(templatePath_)) << "a build makes a new file";
  const QString postcodes = Sql(templatePath_, u"SELECT count(*) FROM 邮编"_s).value(0);

  const auto userEdits = [&](const QString& copy) {
    Sql(copy,
        u"INSERT INTO 格式 (Name, Ctl, X, Y, W, H, Color, fName, fSize, fBold, fItalic, fUnderline, "
        u"fStrikethru) "
        "VALUES ('DL: 220*110 毫米', 7, 12.5, 30, 80, 10, 255, '黑体', 14, 1, 0, 0, 0);"
        "UPDATE 默认 SET Val = 'mine' WHERE Ord = 9; UPDATE 内容 SET Con = '寄件人地址' WHERE Ctl = 8;"
        "INSERT INTO 邮编 VALUES ('本地', '本地', '000001')"_s);
  };
  const auto usersOwn = [&](const QString& copy) {
    return Sql(copy,
               u"SELECT (SELECT group_concat(Name || Ctl || X || fName) FROM 格式) || (SELECT Val FROM 默认 "
               "WHERE Ord = 9) || (SELECT Con FROM 内容 WHERE Ctl = 8)"_s);
  };
  const QStringList edited = {u"DL: 220*110 毫米712.5黑体mine寄件人地址"_s};

  ASSERT_EQ(DataBase::PrepareUserCopy(templatePath_, copyPath_).problem, QString());
  userEdits(copyPath_);
  ASSERT_EQ(usersOwn(copyPath_), edited);
  // The copy's own row in a shipped table shows whether a start replaced that table.
  const QString ownRow = u"SELECT count(*) FROM 邮编 WHERE 邮编 = '000001'"_s;

  struct Start {
    const char* what;
    QString templatePath;
    QString ownRowsLeft;
  } starts[] = {
      {"a rebuild of the same sources", rebuilt, u"1"_s},
      {"a later release", later, u"0"_s},
      {"the later release again", later, u"1"_s},
  };
  for (const Start& start : starts) {
    SCOPED_TRACE(start.what);
    const DataBase::Preparation p = DataBase::PrepareUserCopy(start.templatePath, copyPath_);
    EXPECT_EQ(p.problem, QString());
    EXPECT_FALSE(p.stale);
    EXPECT_EQ(Sql(copyPath_, ownRow), QStringList{start.ownRowsLeft});
    EXPECT_EQ(usersOwn(copyPath_), edited);
    if (start.ownRowsLeft == u"0"_s) Sql(copyPath_, u"INSERT INTO 邮编 VALUES ('本地', '本地', '000001')"_s);
  }
  EXPECT_EQ(Sql(copyPath_, u"SELECT * FROM 新表"_s), QStringList{u"新"_s});
  EXPECT_EQ(Sql(copyPath_, u"SELECT count(*) FROM 邮编"_s),
            QStringList{QString::number(postcodes.toInt() + 2)});
  EXPECT_EQ(Sql(copyPath_, u"SELECT count(*) FROM 标准格式"_s),
            Sql(later, u"SELECT count(*) FROM 标准格式"_s));

  // The earlier layout: an unstamped template, and the copy stamped with a hash of that file.
  const QString earlier = dir_.filePath(u"home/earlier.mdb"_s);
  Sql(templatePath_, u"PRAGMA user_version = 0"_s);
  ASSERT_TRUE(QFile::copy(templatePath_, earlier));
  Sql(earlier, u"PRAGMA user_version = 1234567"_s);
  userEdits(earlier);
  EXPECT_EQ(DataBase::PrepareUserCopy(later, earlier).problem, QString());
  EXPECT_EQ(Sql(earlier, u"SELECT * FROM 新表"_s), QStringList{u"新"_s});
  EXPECT_EQ(Sql(earlier, ownRow), QStringList{u"0"_s});
  EXPECT_EQ(usersOwn(earlier), edited);
}

// A new template that cannot be read (a broken installation) leaves the copy as it is and the
// program working on it; the next start tries again.
TEST_F(UserCopyTest, AFailedUpdateKeepsWorkingOnTheCopyAndIsTriedAgain) {
  ASSERT_EQ(DataBase::PrepareUserCopy(templatePath_, copyPath_).problem, QString());
  const QByteArray before = Bytes(copyPath_);
  const QString later = dir_.filePath(u"later.mdb"_s);
  ASSERT_TRUE(test::MakeTemplate(later, "CREATE TABLE 新表 (Val TEXT);"));
  const QByteArray whole = Bytes(later);
  QFile cut(later);
  ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
  cut.write(whole.left(whole.size() / 2));
  cut.close();

  const DataBase::Preparation failed = DataBase::PrepareUserCopy(later, copyPath_);
  EXPECT_EQ(failed.problem, DataBase::kUpdateFailed.arg(copyPath_));
  EXPECT_TRUE(failed.stale);
  EXPECT_EQ(failed.path, copyPath_);
  EXPECT_FALSE(failed.readOnly);
  EXPECT_EQ(Bytes(copyPath_), before);

  ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
  cut.write(whole);
  cut.close();
  EXPECT_EQ(DataBase::PrepareUserCopy(later, copyPath_).problem, QString());
  EXPECT_EQ(Sql(copyPath_, u"SELECT count(*) FROM 新表"_s), QStringList{u"0"_s});
}

// Whatever goes wrong, the user is told with "数据库打开错误！" and the reason, the program goes on
// with the template read-only (the shipped defaults), and a copy that is there is left exactly
// as it was.
TEST_F(UserCopyTest, FailuresAreToldAndTheTemplateStandsInReadOnly) {
  const QString blocker = dir_.filePath(u"blocker"_s);
  QFile(blocker).open(QIODevice::WriteOnly);  // a file where the data folder should be
  // A real copy whose first page no longer decrypts.
  QByteArray damaged = Bytes(kBuiltTemplate);
  for (int i = 100; i < 300; ++i) damaged[i] = char(damaged[i] ^ 0x5a);

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
