// The installed program as a normal user meets it: `cmake --install` into a scratch root, the
// layout a desktop expects (validated by the desktop's own tools), and the installed program
// started as an unprivileged user, who gets a private copy of the template and keeps the size
// chosen at the last exit.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>

#include "data/data_texts.h"
#include "tests/support/par_database.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr uid_t kNobody = 65534;  // nobody / nogroup on Debian

struct Outcome {
  int exit = -1;
  QString out;
  QString err;
};

// Runs `program` (prepared by `prepare` if given) and waits for it, a minute at most.
Outcome RunTool(const QString& program, const QStringList& arguments,
                const std::function<void(QProcess&)>& prepare = {}) {
  QProcess process;
  process.setProgram(program);
  process.setArguments(arguments);
  if (prepare) prepare(process);
  process.start();
  if (!process.waitForFinished(60000)) {
    process.kill();
    process.waitForFinished();
    return {-1, {}, u"timed out"_s};
  }
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromUtf8(process.readAllStandardOutput()),
          QString::fromUtf8(process.readAllStandardError())};
}

class InstallTest : public testing::Test {
 protected:
  void SetUp() override {
    if (QStandardPaths::findExecutable(u"setpriv"_s).isEmpty() && geteuid() == 0)
      GTEST_SKIP() << "running as root without setpriv: no way to start the program as a normal user";
    // Everything under the scratch root must be reachable for the unprivileged user.
    QFile::setPermissions(root_.path(), QFile::permissions(root_.path()) | QFileDevice::ExeOther |
                                            QFileDevice::ReadOther | QFileDevice::ExeGroup);
    const Outcome install =
        RunTool(QStringLiteral(KOVA_CMAKE),
                {u"--install"_s, QStringLiteral(KOVA_BUILD_DIR), u"--prefix"_s, Prefix()});
    ASSERT_EQ(install.exit, 0) << install.out.toStdString() << install.err.toStdString();
    ASSERT_TRUE(QFile::copy(QStringLiteral(KOVA_INSTALL_DRIVER), Prefix() + u"/bin/install_driver"_s));
    ASSERT_TRUE(QDir(root_.path()).mkpath(u"home/runtime"_s));
    if (geteuid() == 0) {
      for (const QString& dir : {u"home"_s, u"home/runtime"_s})
        ASSERT_EQ(chown(QFile::encodeName(root_.filePath(dir)).constData(), kNobody, kNobody), 0);
    }
    QFile::setPermissions(root_.filePath(u"home/runtime"_s),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }
  QString Prefix() const { return root_.filePath(u"usr"_s); }
  QString Home() const { return root_.filePath(u"home"_s); }

  // A program of the installed tree, to be run as the unprivileged user with nothing of the
  // test's environment but the platform: a fresh home, its own runtime folder.
  void AsUser(QProcess& process) const {
    QProcessEnvironment env;
    env.insert(u"HOME"_s, Home());
    env.insert(u"XDG_RUNTIME_DIR"_s, Home() + u"/runtime"_s);
    env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    env.insert(u"PATH"_s, u"/usr/bin:/bin"_s);
    env.insert(u"ASAN_OPTIONS"_s, u"detect_leaks=0"_s);
    process.setProcessEnvironment(env);
    const QString path = Prefix() + u"/bin/"_s + process.program();
    if (geteuid() != 0) {
      process.setProgram(path);
    } else {
      process.setProgram(u"setpriv"_s);
      process.setArguments(
          QStringList{u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s, u"--"_s, path} +
          process.arguments());
    }
  }
  Outcome RunAsUser(const QString& program, const QStringList& arguments) const {
    return RunTool(program, arguments, [this](QProcess& p) { AsUser(p); });
  }

  QTemporaryDir root_;
};

TEST_F(InstallTest, TheLayoutIsWhatADesktopExpects) {
  const QString share = Prefix() + u"/share/"_s;
  for (const QString& file : {Prefix() + u"/bin/kovapost"_s, Prefix() + u"/bin/kovapost-batch"_s,
                              share + u"kovapost/Par.mdb"_s, share + u"doc/kovapost/user-guide.html"_s,
                              share + u"icons/hicolor/scalable/apps/org.kovapost.Kovapost.svg"_s,
                              share + u"icons/hicolor/48x48/apps/org.kovapost.Kovapost.png"_s})
    EXPECT_TRUE(QFile::exists(file)) << file.toStdString();
  EXPECT_FALSE(QFile::exists(Prefix() + u"/bin/Par.mdb"_s)) << "the template belongs under share/";

  const Outcome desktop =
      RunTool(u"desktop-file-validate"_s, {share + u"applications/org.kovapost.Kovapost.desktop"_s});
  EXPECT_EQ(desktop.exit, 0) << desktop.out.toStdString();
  EXPECT_EQ(desktop.out, QString()) << "not even a hint";
  const Outcome metainfo =
      RunTool(u"appstreamcli"_s,
              {u"validate"_s, u"--no-net"_s, share + u"metainfo/org.kovapost.Kovapost.metainfo.xml"_s});
  EXPECT_EQ(metainfo.exit, 0) << metainfo.out.toStdString();
}

// A normal user's first start makes a private copy of the installed template; a size chosen and
// closed is there at the next start, and after a later release is installed over it. The
// template is never written.
TEST_F(InstallTest, ANormalUsersSizeIsKeptInTheirOwnCopy) {
  const QString shipped = Prefix() + u"/share/kovapost/Par.mdb"_s;
  const QString copy = Home() + u"/.local/share/kovapost/Par.mdb"_s;
  const auto bytes = [](const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  const QByteArray templateBytes = bytes(shipped);

  // The installed program's first start for this user makes the copy. It has no way to be
  // closed from here, so it is stopped once the copy is there; it saves nothing then.
  QProcess program;
  program.setProgram(u"kovapost"_s);
  AsUser(program);
  program.start();
  ASSERT_TRUE(program.waitForStarted(10000));
  for (int waited = 0; waited < 300 && !QFile::exists(copy); ++waited) program.waitForFinished(100);
  EXPECT_EQ(program.state(), QProcess::Running) << program.readAllStandardError().toStdString();
  program.terminate();
  program.waitForFinished(10000);
  ASSERT_TRUE(QFile::exists(copy));
  EXPECT_FALSE(QString::fromUtf8(program.readAllStandardError()).contains(u"数据库打开错误"_s));

  const Outcome first = RunAsUser(u"install_driver"_s, {u"report"_s});
  ASSERT_EQ(first.exit, 0) << first.err.toStdString();
  EXPECT_EQ(first.out, u"2\n"_s) << "DL on the first start";

  for (const int size : {0, 4}) {
    const Outcome chose = RunAsUser(u"install_driver"_s, {u"choose"_s, QString::number(size)});
    ASSERT_EQ(chose.exit, 0) << chose.err.toStdString();
    EXPECT_EQ(chose.err, QString()) << "no message about the database at start or exit";
    EXPECT_EQ(RunAsUser(u"install_driver"_s, {u"report"_s}).out, QString::number(size) + u'\n');
  }
  EXPECT_EQ(test::RawSql(copy, DataBase::ConnectionPassword(), u"SELECT Con FROM 内容 WHERE Ctl = -1"_s),
            QStringList{u"4"_s});
  EXPECT_EQ(bytes(shipped), templateBytes);

  // A later release installed over this one brings a template made anew. The batch tool and the
  // window both start without a word about the database, the copy gets the new table, and the
  // user's size stays.
  ASSERT_TRUE(QFile::remove(shipped));
  ASSERT_TRUE(test::MakeTemplate(shipped, "CREATE TABLE 新表 (Val TEXT);"));
  const QString sample = Home() + u"/sample.csv"_s;
  ASSERT_TRUE(QFile::copy(QStringLiteral(KOVA_SOURCE_DIR "/resources/sample/sample.csv"), sample));
  QFile::setPermissions(sample, QFile::permissions(sample) | QFileDevice::ReadOther);
  const Outcome printed = RunAsUser(
      u"kovapost-batch"_s, {u"envelopes"_s, sample, u"--end"_s, u"2"_s, u"-o"_s, Home() + u"/one.pdf"_s});
  EXPECT_EQ(printed.exit, 0);
  EXPECT_EQ(printed.err, QString());
  const Outcome later = RunAsUser(u"install_driver"_s, {u"report"_s});
  EXPECT_EQ(later.out, u"4\n"_s);
  EXPECT_EQ(later.err, QString());
  EXPECT_EQ(test::RawSql(copy, DataBase::ConnectionPassword(), u"SELECT count(*) FROM 新表"_s),
            QStringList{u"0"_s});
}

// A real kill -9 of the program after an import, a postcode completion, a cell edit and a move
// in the grid: the next start offers the list back, and accepted it is the identical list, blue
// postcodes and current cell included. A normal close then lets it go.
TEST_F(InstallTest, AKilledProgramsListComesBackAtTheNextStart) {
  const QString sample = Home() + u"/sample.csv"_s;
  ASSERT_TRUE(QFile::copy(QStringLiteral(KOVA_SOURCE_DIR "/resources/sample/sample.csv"), sample));
  QFile::setPermissions(sample, QFile::permissions(sample) | QFileDevice::ReadOther);

  QProcess working;
  working.setProgram(u"install_driver"_s);
  working.setArguments({u"work"_s, sample});
  AsUser(working);
  working.start();
  ASSERT_TRUE(working.waitForStarted(10000));
  QByteArray printed;
  while (!printed.contains('@') && working.waitForReadyRead(30000))
    printed += working.readAllStandardOutput();
  ASSERT_TRUE(printed.endsWith('\n'))
      << "the list was never kept: " << working.readAllStandardError().toStdString();
  working.kill();  // SIGKILL: nothing of the program's own runs after it
  working.waitForFinished(10000);
  const QString list = QString::fromUtf8(printed);
  ASSERT_TRUE(list.contains(u"\t蓝\n"_s) && list.contains(u"改过的名字"_s)) << list.toStdString();

  const int count = int(list.count(u'\n')) - 1;
  const Outcome restored = RunAsUser(u"install_driver"_s, {u"list"_s});
  EXPECT_EQ(restored.exit, 0) << restored.err.toStdString();
  EXPECT_EQ(restored.out, data::kKeptRecordsQuestion.arg(count) + u'\n' + list);
  const Outcome next = RunAsUser(u"install_driver"_s, {u"list"_s});
  EXPECT_EQ(next.out, u"\n@-1,-1\n"_s) << "a normal close lets the list go";
}

}  // namespace
