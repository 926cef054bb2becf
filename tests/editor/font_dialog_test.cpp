#include "editor/ui/font_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

using editor::ui::FontDialog;

common::FontChoice Start() {
  common::FontChoice f;
  f.name = u"宋体"_s;
  f.size = 9.75;
  f.bold = true;
  f.color = QColor(200, 0, 0);
  return f;
}

QPushButton* OkButton(FontDialog& dialog) {
  return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
}

TEST(FontDialogTest, OffersEveryPropertyAndReturnsThemUntouchedOrChanged) {
  FontDialog dialog(Start());
  EXPECT_EQ(dialog.choice(), Start());  // a name the system substitutes is kept as asked

  dialog.sizeBox()->setEditText(u"15"_s);
  dialog.italicBox()->setChecked(true);
  dialog.underlineBox()->setChecked(true);
  dialog.strikeoutBox()->setChecked(true);
  dialog.boldBox()->setChecked(false);
  dialog.SetColor(Qt::blue);
  const common::FontChoice c = dialog.choice();
  EXPECT_EQ(c.name, u"宋体"_s);
  EXPECT_DOUBLE_EQ(c.size, 15);
  EXPECT_TRUE(c.italic && c.underline && c.strikeout && !c.bold);
  EXPECT_EQ(c.color, QColor(Qt::blue));
}

TEST(FontDialogTest, AnUnusableSizeCannotBeAccepted) {
  FontDialog dialog(Start());
  const struct {
    QString typed;
    bool accepted;
  } cases[] = {
      {u"12"_s, true}, {u"10.5"_s, true}, {u""_s, false},
      {u"0"_s, false}, {u"abc"_s, false}, {u"3000"_s, false},
  };
  for (const auto& c : cases) {
    dialog.sizeBox()->setEditText(c.typed);
    EXPECT_EQ(OkButton(dialog)->isEnabled(), c.accepted) << c.typed.toStdString();
  }
}

TEST(FontDialogTest, ChooseReturnsNothingWhenCancelled) {
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<FontDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->reject();
  });
  EXPECT_EQ(FontDialog::Choose(Start(), nullptr), std::nullopt);
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<FontDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    dialog->sizeBox()->setEditText(u"20"_s);
    QTest::mouseClick(OkButton(*dialog), Qt::LeftButton);
  });
  const std::optional<common::FontChoice> chosen = FontDialog::Choose(Start(), nullptr);
  ASSERT_TRUE(chosen);
  EXPECT_DOUBLE_EQ(chosen->size, 20);
}

}  // namespace
