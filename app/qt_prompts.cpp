#include "app/qt_prompts.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdio>

#include "app/app_texts.h"

namespace app {
namespace {

const QString kColourButton = QStringLiteral("颜色…");

// The font dialog with a colour button under it: face, size, effects and colour in one go.
std::optional<common::FontChoice> FontAndColour(const common::FontChoice& current, QWidget* owner) {
  QDialog dialog(owner);
  dialog.setWindowTitle(QFontDialog::tr("Select Font"));
  auto* fonts = new QFontDialog(&dialog);
  fonts->setWindowFlags(Qt::Widget);
  fonts->setOptions(QFontDialog::NoButtons);
  QFont font(current.name);
  font.setPointSizeF(current.size);
  font.setBold(current.bold);
  font.setItalic(current.italic);
  font.setUnderline(current.underline);
  font.setStrikeOut(current.strikeout);
  fonts->setCurrentFont(font);
  QColor colour = current.color;
  auto* colourButton = new QPushButton(kColourButton, &dialog);
  QObject::connect(colourButton, &QPushButton::clicked, &dialog, [&] {
    const QColor chosen = QColorDialog::getColor(colour, &dialog);
    if (chosen.isValid()) colour = chosen;
  });
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  auto* column = new QVBoxLayout(&dialog);
  column->addWidget(fonts);
  column->addWidget(colourButton, 0, Qt::AlignLeft);
  column->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QFont chosen = fonts->currentFont();
  common::FontChoice choice;
  choice.name = chosen.family();
  choice.size = chosen.pointSizeF();
  choice.bold = chosen.bold();
  choice.italic = chosen.italic();
  choice.underline = chosen.underline();
  choice.strikeout = chosen.strikeOut();
  choice.color = colour;
  return choice;
}

}  // namespace

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
  if (Unseen()) return {};
  return QFileDialog::getOpenFileName(Owner(), title, QString(), filter);
}

QString QtPrompts::FolderName(const QString& title, const QString& start) {
  if (Unseen()) return {};
  return QFileDialog::getExistingDirectory(Owner(), title, start);
}

std::optional<common::FontChoice> QtPrompts::ChooseFont(const common::FontChoice& current) {
  if (Unseen()) return std::nullopt;
  return FontAndColour(current, Owner());
}

}  // namespace app
