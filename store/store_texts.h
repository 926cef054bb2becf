#pragma once
// Texts of the parameter database and the envelope format store, exactly as the user sees them.

#include <QString>

namespace DataBase {

inline const QString kOpenError = QStringLiteral("数据库打开错误！");
inline const QString kConnectError = QStringLiteral("无法建立数据库连接！");

// The user's own copy of the parameter database, each after "数据库打开错误！" where it could not
// be used; the program then runs with the shipped defaults.
inline const QString kNoDataFolder = QStringLiteral("找不到用户数据文件夹，本次使用默认设置，设置不会保存。");
inline const QString kTemplateMissing = QStringLiteral("找不到程序自带的参数数据库 %1，请重新安装本程序。");
inline const QString kCopyNotMade =
    QStringLiteral("无法在用户数据文件夹 %1 中建立参数数据库，本次使用默认设置，设置不会保存。");
inline const QString kCopyDamaged =
    QStringLiteral("参数数据库 %1 已损坏，原文件保留未动。本次使用默认设置，设置不会保存。");
// The copy works, but the new version's postcodes and default formats could not be put in.
inline const QString kUpdateFailed = QStringLiteral("无法把新版本的邮编和标准格式写入参数数据库 %1。");
// The exit's saves (chosen size, box texts, options) failed; told once.
inline const QString kNotSavedAtExit =
    QStringLiteral("信封规格、输入框内容和选项设置未能保存到参数数据库 %1。");

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
