#include "app/qt_prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
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

bool QtPrompts::Ask(const QString& text) { return AskTitled(text, kCaption); }

bool QtPrompts::AskTitled(const QString& text, const QString& title) {
  if (Unseen()) {
    Message(text);
    return false;
  }
  return QMessageBox::question(Owner(), title, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

common::Choice QtPrompts::AskYesNoCancel(const QString& text, const QString& yes, const QString& no,
                                         const QString& cancel) {
  if (Unseen()) return Prompts::AskYesNoCancel(text, yes, no, cancel);
  QMessageBox box(QMessageBox::Question, kCaption, text, QMessageBox::NoButton, Owner());
  QPushButton* yesButton = box.addButton(yes, QMessageBox::YesRole);
  QPushButton* noButton = box.addButton(no, QMessageBox::NoRole);
  // Without a cancel caption there are two buttons; closing the box is still no answer. Qt would
  // make the no button the escape button (the only one of its role), so Esc and the close box get
  // a hidden cancel button of their own.
  QPushButton* cancelButton =
      box.addButton(cancel.isEmpty() ? QStringLiteral("-") : cancel, QMessageBox::RejectRole);
  if (cancel.isEmpty()) cancelButton->hide();
  box.setEscapeButton(cancelButton);
  box.setDefaultButton(yesButton);
  box.exec();
  if (box.clickedButton() == yesButton) return common::Choice::kYes;
  if (box.clickedButton() == noButton) return common::Choice::kNo;
  return common::Choice::kCancel;
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
