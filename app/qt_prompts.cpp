#include "app/qt_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <cstdio>

#include "app/app_texts.h"
#include "editor/ui/font_dialog.h"

namespace app {

bool QtPrompts::Unseen() {
  const QString platform = QGuiApplication::platformName();
  return platform == u"offscreen" || platform == u"minimal";
}

QWidget* QtPrompts::Owner() { return QApplication::activeWindow(); }

void QtPrompts::Message(const QString& text) {
  if (Unseen()) {
    std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, kCaption, text, QMessageBox::Ok, Owner());
  box.exec();
}

bool QtPrompts::Ask(const QString& text) {
  if (Unseen()) {
    Message(text);
    return false;
  }
  return QMessageBox::question(Owner(), kCaption, text, QMessageBox::Yes | QMessageBox::No) ==
         QMessageBox::Yes;
}

std::optional<QString> QtPrompts::Input(const QString& prompt, const QString& title,
                                        const QString& proposal) {
  if (Unseen()) return std::nullopt;
  bool ok = false;
  const QString text = QInputDialog::getText(Owner(), title.isEmpty() ? kCaption : title, prompt,
                                             QLineEdit::Normal, proposal, &ok);
  return ok ? std::optional<QString>(text) : std::nullopt;
}

QString QtPrompts::OpenFileName(const QString& title, const QString& filter) {
  return OpenFileNameIn(title, filter, QString());
}

QString QtPrompts::OpenFileNameIn(const QString& title, const QString& filter, const QString& folder) {
  if (Unseen()) return {};
  return QFileDialog::getOpenFileName(Owner(), title, folder, filter);
}

QString QtPrompts::SaveFileName(const QString& title, const QString& filter, QString* chosenFilter) {
  if (Unseen()) return {};
  return QFileDialog::getSaveFileName(Owner(), title, QString(), filter, chosenFilter);
}

QString QtPrompts::FolderName(const QString& title, const QString& start) {
  if (Unseen()) return {};
  return QFileDialog::getExistingDirectory(Owner(), title, start);
}

std::optional<common::FontChoice> QtPrompts::ChooseFont(const common::FontChoice& current) {
  if (Unseen()) return std::nullopt;
  return editor::ui::FontDialog::Choose(current, Owner());
}

}  // namespace app
