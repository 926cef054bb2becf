// Qt's own dialogs and buttons speak Chinese, as the rest of the program does.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QPushButton>

#include "app/program.h"

TEST(QtTranslationsTest, StandardButtonsAreChinese) {
  ASSERT_TRUE(app::InstallQtTranslations()) << "qtbase_zh_CN.qm missing: install qt6-translations-l10n";
  QDialogButtonBox box(QDialogButtonBox::Open | QDialogButtonBox::Cancel | QDialogButtonBox::Yes |
                       QDialogButtonBox::No);
  EXPECT_EQ(box.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
  EXPECT_EQ(box.button(QDialogButtonBox::Open)->text(), QStringLiteral("打开"));
  EXPECT_EQ(box.button(QDialogButtonBox::Yes)->text(), QStringLiteral("是(&Y)"));
  EXPECT_EQ(box.button(QDialogButtonBox::No)->text(), QStringLiteral("否(&N)"));
}
