#pragma once
// Texts of the record grid, the data commands, cleaning, postcodes and export, exactly as the user
// sees them.

#include <QString>
#include <array>

namespace data {

// Grid headers; the postcode and address headers carry an ideographic space U+3000.
inline const std::array<QString, 4> kHeaderTexts = {QStringLiteral("序号"), QStringLiteral("收件人"),
                                                    QStringLiteral("邮　编"), QStringLiteral("地　址")};

// Cleaning rule frame and its options.
inline const QString kRuleFrameCaption = QStringLiteral("数据清除规则");
inline const std::array<QString, 3> kRuleCaptions = {
    QStringLiteral("清除无姓名数据"), QStringLiteral("清除无邮编数据"), QStringLiteral("清除无地址数据")};

// Dispatcher messages.
inline const QString kNoRecordsToPrint =
    QStringLiteral("您没有导入批量数据，请导入批量数据并选定要打印记录后再按此键！");

// Postcode completion.
inline const QString kNoPostcodeTable =
    QStringLiteral("邮编信息表不存在，请卸载本软件后，下载安装新版软件！");

// The postcode check: the tip on a postcode cell whose first two digits do not belong to the
// province named in the address.
inline const QString kPostcodeMismatchTip = QStringLiteral("提示：邮编前两位与地址中的省份不符，请核对。");

// A postcode filled in by completion, shown in its own colour until the user edits it.
inline const QString kGeneratedPostcodeTip = QStringLiteral("提示：此邮编由地址自动生成，请核对。");

// What each data command did, on the tip line T2 (%1, %2: counts).
inline const QString kRemovedIncompleteDone = QStringLiteral("清除不完整数据：删除 %1 条记录");
inline const QString kNoRuleChosen = QStringLiteral("清除不完整数据：请先在“数据清除规则”中选择一项");
inline const QString kRemovedSpacesDone = QStringLiteral("清除空格：修改 %1 个单元格");
inline const QString kRemovedLineBreaksDone = QStringLiteral("清除换行符：修改 %1 个单元格");
inline const QString kMergedDuplicatesDone = QStringLiteral("合并相同项：删除 %1 条记录");
inline const QString kDeletedAllDone = QStringLiteral("删除所有记录：删除 %1 条记录");
inline const QString kDeletedSelectedDone = QStringLiteral("删除选定记录：删除 %1 条记录");
inline const QString kCompletedPostcodesDone = QStringLiteral("生成缺失邮编：补全 %1 个，%2 个地址未能识别");
// Ctrl+Z on the grid tab.
inline const QString kUndoDone = QStringLiteral("撤销：记录已恢复到上一个数据命令之前，还可撤销 %1 步");
inline const QString kNothingToUndo = QStringLiteral("撤销：没有可以撤销的数据命令");

// The working list kept in the user's data folder until a normal close.
inline const QString kKeptRecordsQuestion = QStringLiteral("发现上次未导出的 %1 条记录，是否恢复？");
inline const QString kKeptRecordsRestore = QStringLiteral("恢复");
inline const QString kKeptRecordsDiscard = QStringLiteral("放弃");
inline const QString kKeptRecordsUnreadable =
    QStringLiteral("上次保留的记录文件已损坏或来自更新的版本，无法恢复。原文件已改名为 %1 保留。");
inline const QString kKeptRecordsNotWritten = QStringLiteral(
    "无法在用户数据文件夹中保留记录（磁盘已满或文件夹只读）。本次程序异常退出时，记录将无法恢复。");

// Export.
inline const QString kExportCaption = QStringLiteral("导出数据");
inline const QString kExportTip = QStringLiteral("提示：将表格中的数据保存为CSV文件，可用EXCEL打开。");
inline const QString kExportTitle = QStringLiteral("导出数据");
inline const QString kExportFilter = QStringLiteral("CSV文件 UTF-8 (*.csv);;CSV文件 GB18030 (*.csv)");
inline const QString kExportFailed = QStringLiteral("数据导出失败，请检查文件是否被其他程序占用：");
inline const QString kExportDone = QStringLiteral("数据已导出到：");
inline const QString kExportXlsxFilter = QStringLiteral("Excel 工作簿 (*.xlsx)");
inline const QString kXlsxSheetName = QStringLiteral("地址");
inline const QString kFolderNotWritable = QStringLiteral("文件夹不可写入（只读或没有权限）");
inline const QString kDiskFull = QStringLiteral("磁盘空间不足");
inline const QString kXlsxNotWritten = QStringLiteral("无法创建 Excel 文件");
inline const QString kTooManyRowsForXlsx = QStringLiteral("Excel 工作表最多 %1 行，请改为导出 CSV 文件");

// Find, sort and filter on the grid tab.
inline const QString kNothingShownToPrint =
    QStringLiteral("筛选后没有记录，没有可以打印的内容。请更改或清除筛选。");
inline const QString kShownCount = QStringLiteral("显示 %1 / %2 条");
inline const QString kFilterLabel = QStringLiteral("筛选：");
inline const QString kFilterTextTip = QStringLiteral("显示含有此文字的记录");
inline const QString kFilterAnyColumn = QStringLiteral("任意列");
inline const QString kPostcodePrefixLabel = QStringLiteral("邮编开头：");
inline const QString kProvinceLabel = QStringLiteral("省份：");
inline const QString kProblemsOnly = QStringLiteral("只看邮编与省份不符");
inline const QString kGeneratedOnly = QStringLiteral("只看自动生成的邮编");
inline const QString kClearFilter = QStringLiteral("清除筛选");
inline const QString kFindLabel = QStringLiteral("查找：");
inline const QString kFindNext = QStringLiteral("下一个");
inline const QString kFindPrevious = QStringLiteral("上一个");
inline const QString kNotFound = QStringLiteral("查找：没有找到“%1”");
inline const QString kSortedTip = QStringLiteral("已按“%1”%2排序（Ctrl+Z 可恢复原来的顺序）");
inline const QString kAscending = QStringLiteral("升序");
inline const QString kDescending = QStringLiteral("降序");
// The posting list's source: the last print run or the shown records (%1, %2: counts).
inline const QString kPostingSourceQuestion =
    QStringLiteral("交寄清单：用最近一次打印的 %1 条记录，还是表格中显示的 %2 条记录？");
inline const QString kPostingLastRun = QStringLiteral("最近打印的");
inline const QString kPostingShown = QStringLiteral("显示的记录");
inline const QString kPostingCancel = QStringLiteral("取消");
// Shown when the history let go of its oldest steps.
inline const QString kUndoStepsDropped = QStringLiteral("（撤销记录已达上限，最早的 %1 步已不能撤销）");

}  // namespace data
