#include "app/single_instance.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "app/app_texts.h"

namespace {

using app::SingleInstance;

TEST(SingleInstanceTest, OneHolderAtATimeInOneProcess) {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("kovapost.lock"));
  auto first = std::make_unique<SingleInstance>(path);
  SingleInstance second(path);
  ASSERT_TRUE(first->Acquire());
  EXPECT_TRUE(first->Acquire());  // asking again keeps it
  EXPECT_FALSE(first->AnotherHolds());
  EXPECT_FALSE(second.Acquire());
  EXPECT_TRUE(second.AnotherHolds());
  first.reset();
  EXPECT_TRUE(second.Acquire());
  EXPECT_FALSE(second.AnotherHolds());
}

// The real program, started with its own runtime and configuration folders so that it meets
// only the instances this test starts.
class ProgramInstances : public testing::Test {
 protected:
  ProgramInstances() {
    QDir(home.path()).mkpath(QStringLiteral("runtime"));
    QFile::setPermissions(RuntimeDir(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  }
  ~ProgramInstances() override {
    for (auto& p : started) {
      p->kill();
      p->waitForFinished(5000);
    }
  }
  QString RuntimeDir() const { return home.filePath(QStringLiteral("runtime")); }
  QString LockPath() const { return RuntimeDir() + QStringLiteral("/kovapost.lock"); }

  QProcess& Start() {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), RuntimeDir());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    process->setProcessEnvironment(env);
    process->start(QStringLiteral(KOVA_APP), {});
    EXPECT_TRUE(process->waitForStarted(10000));
    started.push_back(std::move(process));
    return *started.back();
  }

  qint64 LockOwner() const {
    QLockFile probe(LockPath());
    qint64 pid = 0;
    QString host, application;
    return probe.getLockInfo(&pid, &host, &application) ? pid : 0;
  }

  QTemporaryDir home;
  std::vector<std::unique_ptr<QProcess>> started;
};

TEST_F(ProgramInstances, SecondStartIsRefusedAndAKilledFirstNeverBlocks) {
  QProcess& first = Start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return LockOwner() == first.processId(); }, 20000));

  QProcess& second = Start();
  ASSERT_TRUE(second.waitForFinished(20000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 1);
  EXPECT_TRUE(QString::fromUtf8(second.readAllStandardError()).contains(app::kAlreadyRunning));

  // The first one is untouched, also after its own repeat of the test a second later.
  QTest::qWait(1500);
  EXPECT_EQ(first.state(), QProcess::Running);
  EXPECT_EQ(LockOwner(), first.processId());

  // A killed first instance leaves its lock file behind; the next start takes it over.
  first.kill();
  ASSERT_TRUE(first.waitForFinished(10000));
  ASSERT_TRUE(QFile::exists(LockPath()));
  QProcess& third = Start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return LockOwner() == third.processId(); }, 20000));
  QTest::qWait(1500);
  EXPECT_EQ(third.state(), QProcess::Running);
}

}  // namespace
