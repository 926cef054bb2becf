#pragma once
// Texts of the label tab and of label printing, exactly as the user sees them.

#include <QString>
#include <array>

namespace labels {

// The settings panel FRM2.
inline const QString kAcrossCaption = QStringLiteral("横向数量");
inline const QString kDownCaption = QStringLiteral("纵向数量");
inline const QString kCountUnit = QStringLiteral("个");
inline const QString kShrinkBefore = QStringLiteral("1/");
inline const QString kShrinkAfter = QStringLiteral("倍");
inline const QString kPaperWidthCaption = QStringLiteral("纸张宽度");
inline const QString kPaperHeightCaption = QStringLiteral("纸张高度");
inline const QString kMillimetres = QStringLiteral("毫米");
inline const QString kPagesCaption = QStringLiteral("标签页数");
inline const QString kLandscapeCaption = QStringLiteral("横向排列标签 ");
inline const QString kStartCellCaption = QStringLiteral("起始位置");
// The copies of each record's label, the same setting as the envelopes' beside their count.
inline const QString kCopiesCaption = QStringLiteral("每条份数");
inline const QString kCopiesTip = QStringLiteral("每条记录连续打印的标签份数");
inline const QString kStartCellTip = QStringLiteral(
    "提示：从第一张标签纸的第几个标签开始打印（从左到右、从上到下数），用来接着打印用过一部分的标签纸。");

// CK(0) .. CK(6).
inline const std::array<QString, 7> kItemCaptions = {
    QStringLiteral("打印 收件人邮编"), QStringLiteral("打印 收件人地址"),
    QStringLiteral("打印 收件人姓名"), QStringLiteral("打印 寄件人地址"),
    QStringLiteral("打印 寄件人邮编"), QStringLiteral("打印 印刷品字样标签"),
    QStringLiteral("打印 标签分隔线"),
};

// The tool tips of CB(14) and CB(15) (their captions are the main window's).
inline const QString kPrintPageTip = QStringLiteral("只打印当前显示的标签。");
inline const QString kPrintFromPageTip = QStringLiteral("从当前显示的标签开始，打印其后所有标签。");

// A print command whose sheet cannot be printed says so instead of returning silently.
inline const QString kTooManyToPrint =
    QStringLiteral("标签数量超出打印范围：横向数量应为1到100个，纵向数量应为1到200个。");

// Margins and gaps that leave no room for a label.
inline const QString kNoRoomForLabels =
    QStringLiteral("页边距和标签间距太大，纸上放不下这么多标签，请重新输入！");

// Labels whose text does not fit even at the smallest type are printed all the same; the tip
// line and the batch tool say how many.
inline const QString kTooFullLabels =
    QStringLiteral("有 %1 个标签文字太多，已用最小字号打印，文字可能超出标签。");

// The label sheet presets and the margins and gaps of a real sheet.
inline const QString kPresetCaption = QStringLiteral("标签纸规格");
inline const QString kPresetNone = QStringLiteral("自定义");
inline const QString kMarginTopCaption = QStringLiteral("上边距");
inline const QString kMarginLeftCaption = QStringLiteral("左边距");
inline const QString kGapAcrossCaption = QStringLiteral("横向间距");
inline const QString kGapDownCaption = QStringLiteral("纵向间距");

// A box left with no figure, or one the sheet cannot take: counts and the start are whole numbers
// from 1, the shrink factor and the paper more than 0, margins and gaps 0 or more.
inline const QString kNotASheetFigure = QStringLiteral(
    "请输入合适的数字：数量和起始位置为1以上的整数，缩小倍数和纸张尺寸大于0，边距和间距不小于0。");

// The PDF printer names its files after the command.
inline const QString kPdfPrefix = QStringLiteral("标签");

// The line height sample: two full-width characters.
inline const QString kLineHeightSample = QStringLiteral("标签");

}  // namespace labels
