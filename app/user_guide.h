#pragma once
// The user guide ships inside the program: "更多帮助" shows it in a window of the program, from
// which the desktop's browser can open a copy of it on disk.

#include <QDialog>
#include <QString>
#include <functional>

class QTextBrowser;
class QUrl;

namespace app {

// Writes the bundled guide and its pictures to the user's cache folder and returns the guide's
// path; empty on failure.
QString WriteUserGuide();

// The guide in a window: its links and pictures work without a browser; "在浏览器中打开" hands a
// copy to the desktop through `openUrl` (and says so when that fails), as do links that lead
// out of the guide.
class HelpWindow : public QDialog {
  Q_OBJECT

 public:
  HelpWindow(std::function<bool(const QUrl&)> openUrl, QWidget* parent);
  QTextBrowser* page() const { return page_; }
  void OpenInBrowser();

 private:
  void FollowLink(const QUrl& url);

  std::function<bool(const QUrl&)> openUrl_;
  QTextBrowser* page_;
};

}  // namespace app
