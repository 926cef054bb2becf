// A missing Par.mdb, one with another password, and files that are no database: every operation
// reports once, changes nothing on screen, and leaves no new or altered file behind.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>

#include "editor/format_store.h"
#include "editor/option_memory.h"
#include "store/database.h"
#include "store/store_texts.h"
#include "tests/support/par_database.h"
#include "tests/support/scripted_prompts.h"

namespace {

using editor::EnvelopeModel;

QString S(const char16_t* text) { return QString::fromUtf16(text); }

// Everything the user sees of the envelope model.
QStringList Snapshot(const EnvelopeModel& model) {
  QStringList parts;
  for (int b = 0; b < editor::kBoxCount; ++b) {
    const editor::Box& box = model.box(b);
    const QRect& g = box.geometry;
    parts << QStringLiteral("%1,%2,%3,%4 %5 %6 %7%8 %9")
                 .arg(g.left())
                 .arg(g.top())
                 .arg(g.width())
                 .arg(g.height())
                 .arg(box.font.name)
                 .arg(box.font.size)
                 .arg(box.font.bold)
                 .arg(box.font.italic)
                 .arg(box.text);
  }
  for (int i = 0; i < editor::kSizeCount; ++i) parts << model.sizeCaption(i);
  const editor::TabOptions& o = model.options();
  parts << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
               .arg(model.chosenSize())
               .arg(o.portrait)
               .arg(o.landscape)
               .arg(o.ruler)
               .arg(o.lock)
               .arg(o.centreFeed)
               .arg(o.rotate);
  return parts;
}

enum class Kind { Missing, WrongKey, Garbage, Empty };

// Makes the unusable file; returns its bytes (empty for a missing file).
QByteArray Prepare(Kind kind, const QString& path) {
  switch (kind) {
    case Kind::Missing:
      return {};
    case Kind::WrongKey:
      test::RawSql(
          path, S(u"12345678"),
          S(u"CREATE TABLE 默认 (Ord DOUBLE, Val TEXT); CREATE TABLE 内容 (Ctl SMALLINT, Con TEXT);"),
          SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
      break;
    case Kind::Garbage: {
      QFile file(path);
      EXPECT_TRUE(file.open(QIODevice::WriteOnly));
      QByteArray noise;
      for (int i = 0; i < 8192; ++i) noise.append(char((i * 7919) % 251));
      file.write(noise);
      break;
    }
    case Kind::Empty:
      QFile(path).open(QIODevice::WriteOnly);
      break;
  }
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  return file.readAll();
}

TEST(UnusableDatabaseTest, EveryOperationReportsOnceAndChangesNothing) {
  using Op = std::function<void(EnvelopeModel&)>;
  const auto layout = [] {};
  const struct {
    const char* name;
    Op op;
    QString message;
  } operations[] = {
      {"OpenRecordset",
       [](EnvelopeModel&) {
         DataBase::Connection cn;
         DataBase::Recordset rs;
         EXPECT_FALSE(DataBase::OpenRecordset(cn, rs, S(u"SELECT * FROM 默认")));
         EXPECT_FALSE(rs.isOpen());
       },
       DataBase::kOpenError},
      {"TableExists", [](EnvelopeModel&) { EXPECT_FALSE(DataBase::TableExists(S(u"邮编"))); },
       DataBase::kConnectError},
      {"LoadEnvelopeFormat", [&](EnvelopeModel& m) { 格式模块::LoadEnvelopeFormat(m, layout); },
       DataBase::kOpenError},
      {"SaveEnvelopeFormat", [](EnvelopeModel& m) { 格式模块::SaveEnvelopeFormat(m); }, DataBase::kOpenError},
      {"LoadBoxContents", [](EnvelopeModel& m) { 格式模块::LoadBoxContents(m); }, DataBase::kOpenError},
      {"SaveBoxContents", [](EnvelopeModel& m) { 格式模块::SaveBoxContents(m); }, DataBase::kOpenError},
      {"LoadChosenSize", [](EnvelopeModel&) { EXPECT_EQ(格式模块::LoadChosenSize(), editor::kDefaultSize); },
       DataBase::kOpenError},
      {"SaveChosenSize", [](EnvelopeModel& m) { 格式模块::SaveChosenSize(m); }, DataBase::kOpenError},
      {"SaveLastSet", [](EnvelopeModel& m) { OptionMemory::SaveLastSet(m); }, DataBase::kOpenError},
      {"LoadLastSet", [](EnvelopeModel& m) { OptionMemory::LoadLastSet(m, {}); }, DataBase::kOpenError},
      {"GetLastValue", [](EnvelopeModel&) { EXPECT_FALSE(OptionMemory::GetLastValue(4).isValid()); },
       DataBase::kOpenError},
  };
  const struct {
    const char* name;
    Kind kind;
  } kinds[] = {{"missing", Kind::Missing},
               {"wrong key", Kind::WrongKey},
               {"garbage", Kind::Garbage},
               {"empty", Kind::Empty}};

  for (const auto& kind : kinds) {
    QTemporaryDir dir;
    const QString path = dir.filePath(S(u"Par.mdb"));
    const QByteArray bytes = Prepare(kind.kind, path);
    DataBase::SetDatabasePath(path);
    for (const auto& operation : operations) {
      SCOPED_TRACE(std::string(kind.name) + ", " + operation.name);
      EnvelopeModel model, untouched;
      const test::ScriptedPrompts& prompts = test::FreshPrompts();
      operation.op(model);
      EXPECT_EQ(prompts.shown, QStringList{operation.message});
      EXPECT_EQ(Snapshot(model), Snapshot(untouched));
      if (kind.kind == Kind::Missing) {
        EXPECT_FALSE(QFile::exists(path));
      } else {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), bytes);
      }
      EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(),
                kind.kind == Kind::Missing ? 0 : 1);
    }
  }
  DataBase::SetDatabasePath(QString());
}

}  // namespace
