#pragma once
// Texts of the import: the dialog, the sheet chooser and the workbook messages, exactly as the
// user sees them.

#include <QString>

namespace data::texts {

// The import dialog fOpen.
inline const QString kImportCaption = QStringLiteral("导入EXCEL表格数据");
inline const QString kRowFrame = QStringLiteral("数据起止行");
inline const QString kStartRowLabel = QStringLiteral("起始行：");
inline const QString kEndRowLabel = QStringLiteral("终止行：");
inline const QString kMappingFrame = QStringLiteral("数据项对应关系");
inline const QString kRecipientLabel = QStringLiteral("收件人列号");
inline const QString kPostcodeLabel = QStringLiteral("邮编列号");
inline const QString kAddressLabel = QStringLiteral("地址列号");
inline const QString kRecipientTip =
    QStringLiteral("例：收件人数据在EXCEL表的A列，用户想打印的收件人为“XX 收”时，可填入： A，\" 收\" 即可。");
inline const QString kPostcodeTip = QStringLiteral("将邮编所在的列号填入，例B或C等。");
inline const QString kAddressTip = QStringLiteral(
    "例：用户想将收件人地址(D列)和收件人公司(F列)同时打印在地址栏中时，可以填入：D,F即可,"
    "更多的列联接依此类推。");
inline const QString kFilterLineBreaks = QStringLiteral("过滤导入内容中的换行符");
inline const QString kPreviewLabel = QStringLiteral("表格示例：");
// Beside the end row: how many rows the chosen file or sheet holds.
inline const QString kDataRows = QStringLiteral("（共 %1 行）");
inline const QString kImportOk = QStringLiteral("确  定");
inline const QString kImportCancel = QStringLiteral("取  消");
inline const QString kUnsupportedFile = QStringLiteral("您选择的文件格式不支持导入，请选择CSV或XLS文件！");
// The range guards: an end row more than one below the start row, and a range larger than
// any worksheet can hold.
inline const QString kEndBeforeStart = QStringLiteral("终止行号不能小于起始行号减一，请重新输入！");
inline const QString kRangeTooLarge = QStringLiteral("导入行数过多，每次最多导入1048576行，请重新输入！");
// A CSV file that cannot be read at import time (moved, deleted or locked since the preview).
inline const QString kCsvUnreadable = QStringLiteral("无法打开CSV文件，请检查后重新输入文件名及路径！");

// The file dialog: every kind at once first, then each kind on its own.
inline const QString kFileFilter = QStringLiteral(
    "所有可导入的文件(*.csv *.xls *.xlsx *.ods);;Microsoft Office Excel 工作簿(*.xls *.xlsx *.ods);;"
    "CSV (逗号分隔)(*.csv)");

// The sheet chooser Sheets.
inline const QString kSheetsCaption = QStringLiteral("选择要导入数据所在的工作表");
inline const QString kSheetsInstruction = QStringLiteral("请在收件人地址信息所在的表格行打“√”");
inline const QString kSheetsOk = QStringLiteral("确   定");
inline const QString kSheetsCancel = QStringLiteral("取   消");
inline const QString kSheetNumberHeader = QStringLiteral("No.");
inline const QString kSheetTickHeader = QStringLiteral("选择");
inline const QString kSheetNameHeader = QStringLiteral("工作表名称");
inline const QString kTick = QStringLiteral("√");
inline const QString kSheetJoiner = QStringLiteral("‖");
inline const QString kCannotListSheets = QStringLiteral("无法打开XLS文件！");

// Workbook failures, by error number.
inline const QString kCannotOpenWorkbook =
    QStringLiteral("无法打开Excel文件，请检查后重新输入文件名及路径！");
inline const QString kNoSuchSheet = QStringLiteral("输入表格名称有误，无法打开表格，请重新输入！");
inline const QString kNotAWorkbook = QStringLiteral("文件类型不对，请选择Excel文档！");
inline const QString kColumnOutOfRange = QStringLiteral("输入表格列号超界，请重新输入！");
inline const QString kUnknownErrorPrefix = QStringLiteral("未知错误，错误号：");
inline const QString kUnknownErrorSuffix = QStringLiteral("　请检查输入值！");

// Recent imports and "重新导入" (%1: the file).
inline const QString kRecentLabel = QStringLiteral("最近导入：");
inline const QString kRecentPlaceholder = QStringLiteral("（选择最近导入过的文件）");
inline const QString kRecentFileGone = QStringLiteral("文件已不存在：%1");
inline const QString kNothingToReimport = QStringLiteral("还没有导入过文件，请先用“导入数据”导入。");

}  // namespace data::texts
