#include "app/user_guide.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/app_texts.h"
#include "common/prompts.h"

// The resources live in a static library: nothing references them unless asked to.
static void InitResources() { Q_INIT_RESOURCE(resources); }

namespace app {
namespace {

const QString kBundled = QStringLiteral(":/docs");

}  // namespace

QString WriteUserGuide() {
  InitResources();
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
  if (folder.isEmpty() || !QDir().mkpath(folder)) return {};
  // The guide with its pictures, each file where the guide's relative links expect it.
  bool found = false;
  for (QDirIterator it(kBundled, QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
    QFile bundled(it.next());
    const QString path = folder + bundled.fileName().mid(kBundled.size());
    if (!bundled.open(QIODevice::ReadOnly) || !QDir().mkpath(QFileInfo(path).path())) return {};
    QSaveFile copy(path);
    if (!copy.open(QIODevice::WriteOnly) || copy.write(bundled.readAll()) < 0 || !copy.commit()) return {};
    found = found || QFileInfo(path).fileName() == kUserGuideFile;
  }
  return found ? folder + u'/' + kUserGuideFile : QString();
}

HelpWindow::HelpWindow(std::function<bool(const QUrl&)> openUrl, QWidget* parent)
    : QDialog(parent), openUrl_(std::move(openUrl)) {
  InitResources();
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(kUserGuideTitle);
  page_ = new QTextBrowser(this);
  page_->setOpenLinks(false);  // links inside the guide are followed here, others go out
  connect(page_, &QTextBrowser::anchorClicked, this, &HelpWindow::FollowLink);
  page_->setSource(QUrl(QStringLiteral("qrc") + kBundled + u'/' + kUserGuideFile));
  auto* buttons = new QDialogButtonBox(this);
  connect(buttons->addButton(kOpenInBrowser, QDialogButtonBox::ActionRole), &QPushButton::clicked, this,
          &HelpWindow::OpenInBrowser);
  connect(buttons->addButton(kCloseHelp, QDialogButtonBox::RejectRole), &QPushButton::clicked, this,
          &QDialog::close);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(page_, 1);
  layout->addWidget(buttons);
  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  const QSize room = screen ? screen->availableGeometry().size() * 9 / 10 : QSize(900, 700);
  resize(std::min(900, room.width()), room.height());
}

void HelpWindow::FollowLink(const QUrl& url) {
  if (url.scheme() == u"qrc" || url.isRelative())
    page_->setSource(page_->source().resolved(url));
  else if (!openUrl_(url))
    common::prompts().Message(kUserGuideMissing.arg(url.toString()));
}

void HelpWindow::OpenInBrowser() {
  const QString path = WriteUserGuide();
  if (path.isEmpty() || !openUrl_(QUrl::fromLocalFile(path)))
    common::prompts().Message(kUserGuideMissing.arg(path.isEmpty() ? kUserGuideFile : path));
}

}  // namespace app
