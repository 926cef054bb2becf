#pragma once
// Texts of envelope printing, exactly as the user sees them.

#include <QString>
#include <QStringList>

namespace print {

// Rendering and print runs.
inline const QString kPrintError = QStringLiteral("打印出错！");
// "打印第" n "个信封出现未知错误！（错误号：" e "）"
inline QString EnvelopeFailedText(int envelope, int error) {
  return QStringLiteral("打印第") + QString::number(envelope) +
         QStringLiteral("个信封出现未知错误！（错误号：") + QString::number(error) + QStringLiteral("）");
}
inline const QString kRunProgress = QStringLiteral("%1 / %2");
inline const QString kStopRun = QStringLiteral("停止打印");
inline const QString kRunTip =
    QStringLiteral("Kovapost提示：正在打印，按Esc键或“停止打印”按钮可在下一个信封之前停止。");
inline const QString kRunStopped = QStringLiteral("Kovapost提示：打印已停止，共打印了%1个信封。");
inline const QString kRunStoppedPdf =
    QStringLiteral("Kovapost提示：打印已停止，共打印了%1个信封，已写入PDF文件 %2");

// The printer chooser.
inline const QString kChoosePrinterCaption = QStringLiteral("请选择打印机");
inline const QString kChooserOk = QStringLiteral("确  定");
inline const QString kChooserCancel = QStringLiteral("取  消");
inline const QString kNotConnected = QStringLiteral("没有正常连接打印机！");

// The built-in PDF printer.
inline const QString kPdfPrinterName = QStringLiteral("PDF 文件");
inline const QString kPdfFolderKey = QStringLiteral("PDF Folder");
// The print shops' PDF: every envelope on a page of its own size. Remembered under the key.
inline const QString kEnvelopePagesCaption = QStringLiteral("PDF 文件：每页就是信封本身的大小（交给印刷店）");
inline const QString kEnvelopePagesKey = QStringLiteral("PDF Envelope Pages");
inline const QString kChoosePdfFolder = QStringLiteral("请选择保存PDF文件的文件夹");
inline const QString kPdfFolderUnwritable =
    QStringLiteral("无法在所选文件夹中写入PDF文件，请另选一个文件夹！");
inline const QString kPdfWrittenTip = QStringLiteral("Kovapost提示：已打印到PDF文件 %1");
inline const QString kPdfNotWritten = QStringLiteral("PDF文件写入失败：%1");

// Calibration.
inline const QString kCalibrationTitle = QStringLiteral("打印位置校验");
inline const QString kCalibrationQuestion =
    QStringLiteral("您是否需要打印校验图形？如果要打印，请在打印机中放好A4纸一张。");
inline const QString kCollateCaption = QStringLiteral("输入打印边距");
inline const QString kMoveLeft = QStringLiteral("向左移");
inline const QString kHorizontalMargin = QStringLiteral("毫米（横向边距）");
inline const QString kMoveUp = QStringLiteral("向上移");
inline const QString kVerticalMargin = QStringLiteral("毫米（纵向边距）");
inline const QString kCollateInstruction = QStringLiteral(
    "请在下列输入框中填入打印内容需要移动的距离，如需向反方向移动，请填写负数。\n\n"
    "【通常情况下，只需打印出如右图的校准黑块，量出横向边距和纵向边距填入输入框即可，数字可填写小数】");
inline const QString kCollateOk = QStringLiteral("确        定");
inline const QString kCollateCancel = QStringLiteral("取        消");
inline const QString kCollatePrinter = QStringLiteral("打印机：%1");
inline const QString kDigitsOnly = QStringLiteral("此处只能输入数字！");
// The one printed line of the check page; %1 is the printer.
inline const QString kCalibrationPageLine = QStringLiteral(
    "请量出黑色方块左边到纸张左边缘、上边到纸张上边缘的距离（毫米），填入“输入打印边距”。打印机：%1");
inline const QString kPdfNeedsNoCalibration =
    QStringLiteral("“PDF 文件”没有打印边距，打印位置与画布完全一致，不需要校准。");

// A printer without the paper an envelope needs; %1 printer, %2 × %3 the envelope in mm.
inline const QString kPaperRefused =
    QStringLiteral("打印机“%1”不支持A3纸，%2×%3毫米的信封在A4纸上放不下，没有打印。请选择支持A3纸的打印机。");

// Rotated printing.
inline const QString kRotationTooLarge = QStringLiteral(
    "旋转180度打印的分辨率太高（%1 "
    "DPI），信封图像有%2万像素，无法生成。请在画布的右键菜单中调低分辨率后再打印。");

// The preview.
inline const QString kPreviewCaption = QStringLiteral("打印预览");
inline const QString kPreviewDetails =
    QStringLiteral("打印机：%1　　纸张：%2×%3 毫米　　偏移：向左 %4 毫米，向上 %5 毫米（虚线为信封位置）");

inline const QString kFitPage = QStringLiteral("适合页面");
inline const QString kFitWidth = QStringLiteral("适合宽度");
inline const QString kZoomIn = QStringLiteral("放大");
inline const QString kZoomOut = QStringLiteral("缩小");
inline const QString kFirstPage = QStringLiteral("首页");
inline const QString kPreviousPage = QStringLiteral("上一页");
inline const QString kNextPage = QStringLiteral("下一页");
inline const QString kLastPage = QStringLiteral("末页");
inline const QString kPageOf = QStringLiteral("第 %1 / %2 页");

// Registry keys under "Envelop Collate".
inline const QString kMarginXKey = QStringLiteral("X");
inline const QString kMarginYKey = QStringLiteral("Y");
inline const QString kPrinterKey = QStringLiteral("Printer");
inline const QString kDpiKey = QStringLiteral("DPI");
// The margins of each printer, one key per printer name: "X Y" in mm.
inline const QString kPrinterMarginsSection = QStringLiteral("Printer Margins");

// The font samples: fixed full-width texts measured on screen and on paper alike.
inline const QString kFontSample = QStringLiteral("中华人民共和国邮政信封打印字样测量用");
inline const QString kShortFontSample = QStringLiteral("邮政");

// The posting list (交寄清单).
inline const QString kPostingTitle = QStringLiteral("交寄清单");
inline const QString kPostingFont = QStringLiteral("宋体");
inline const QString kPostingSender = QStringLiteral("寄件人：");
// %1 date, %2 total, %3 page, %4 pages.
inline const QString kPostingDateLine = QStringLiteral("日期：%1　　共 %2 件　　第 %3 / %4 页");
inline const QString kPostingTotal = QStringLiteral("共 %1 件");
inline const QStringList kPostingColumns = {QStringLiteral("序号"), QStringLiteral("收件人"),
                                            QStringLiteral("邮编"), QStringLiteral("地址"),
                                            QStringLiteral("挂号号码")};
inline const QString kPostingZoneHead = QStringLiteral("邮区（邮编前三位）");
inline const QString kPostingCountHead = QStringLiteral("件数");
inline const QString kPostingNoZone = QStringLiteral("邮编不全");
inline const QString kPostingTotalHead = QStringLiteral("合计");
inline const QString kPostingEmpty = QStringLiteral("没有记录，无法生成交寄清单。");
inline const QString kPostingNotWritten =
    QStringLiteral("交寄清单未能写入文件，请检查文件夹是否可写、磁盘是否已满。");
inline const QString kPostingWritten = QStringLiteral("交寄清单已保存到：%1（共 %2 件）");
inline const QString kPostingFilter =
    QStringLiteral("PDF 文件 (*.pdf);;Excel 工作簿 (*.xlsx);;CSV 文件 (*.csv)");

}  // namespace print
