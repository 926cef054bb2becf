#pragma once
// Texts of the parameter database and the envelope format store, exactly as the user sees them.

#include <QString>

namespace DataBase {

inline const QString kOpenError = QStringLiteral("数据库打开错误！");
inline const QString kConnectError = QStringLiteral("无法建立数据库连接！");

// The confirmation of the format save, around the size option's whole caption.
inline QString FormatSavedText(const QString& caption) {
  return QStringLiteral("信封格式 “") + caption + QStringLiteral("” 保存成功！");
}
// A save whose rows could not all be written: the previous format stays stored.
inline QString FormatNotSavedText(const QString& caption) {
  return QStringLiteral("信封格式 “") + caption + QStringLiteral("” 保存失败！");
}

// A stored format with a box off the envelope, without a size, or with a font of no size.
inline QString FormatRepairedText(const QString& caption) {
  return QStringLiteral("信封格式 “") + caption +
         QStringLiteral("” 中有的文本框超出信封或大小不对，已放回信封内。");
}

}  // namespace DataBase
