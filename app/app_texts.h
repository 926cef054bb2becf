#pragma once
// Texts of the application shell, exactly as the user sees them.

#include <QString>
#include <array>

#include "data/data_texts.h"

namespace app {

inline const QString kCaption = QStringLiteral("Kovapost envelope printer4.39");
inline const QString kVersion = QStringLiteral("4.39");

// Sub_main refuses a second start; the timer's repeat of the test uses a full-width comma.
inline const QString kAlreadyRunning = QStringLiteral("软件已经在运行,请勿重复运行！");
inline const QString kAlreadyRunningLater = QStringLiteral("软件已经在运行，请勿重复运行！");

// The copies of each record a print run makes, beside the run's count.
inline const QString kCopiesCaption = QStringLiteral("每条份数");
inline const QString kCopiesTip = QStringLiteral("每条记录连续打印的信封份数");

// Closing with records changed since the last import or export.
inline const QString kCloseQuestion =
    QStringLiteral("表格中的数据在导入或上次导出后已经修改，关闭程序后这些修改将丢失。是否先导出数据？");
inline const QString kCloseExport = QStringLiteral("导出");
inline const QString kCloseNoExport = QStringLiteral("不导出");
inline const QString kCloseCancel = QStringLiteral("取消");

// SST's tabs.
inline const std::array<QString, 4> kTabCaptions = {QStringLiteral("信封打印"), QStringLiteral("批量数据"),
                                                    QStringLiteral("标签打印"), QStringLiteral("帮助说明")};

inline const QString kTipEmpty = QStringLiteral("提示：");

// The command buttons CB(i): caption, tip line text (empty: the tip line is left alone).
struct CommandText {
  QString caption;
  QString tipLine;
};
constexpr int kCommandCount = 21;  // CB(18) "导出数据" .. CB(20) "重新导入" follow the original set
constexpr int kUnusedCommand = 9;
inline const std::array<CommandText, kCommandCount> kCommands = {{
    {QStringLiteral("打印单个"), QStringLiteral("打印当前显示的信封。")},
    {QStringLiteral("当前信封开始 打 印"), QStringLiteral("打印所有已经导入的信封。")},
    {QStringLiteral("校 准  打 印 机"), QStringLiteral("检测、保存打印机偏差（打印机初次使用须用此功能）。")},
    {QStringLiteral("导入EXCEL数据"), QStringLiteral("从EXCEL文件中导入数据进行信封批量打印。")},
    {QStringLiteral("清除不完整数据"), QStringLiteral("清除表格数据中的不完整的记录。")},
    {QStringLiteral("清除  空  格"), QStringLiteral("清除批量打印数据中的空格。")},
    {QStringLiteral("清除  换行符"), QStringLiteral("清除批量打印数据中的换行符。")},
    {QStringLiteral("合并  相同项"), QStringLiteral("清除重复的数据记录。")},
    {QStringLiteral("删除 所有记录"), QStringLiteral("清除已经导入的EXCEL数据。")},
    {QString(), QString()},
    {QStringLiteral("版权说明"), QString()},
    {QStringLiteral("更多帮助"), QString()},
    {QStringLiteral("保 存  当前格式"), QStringLiteral("将当前格式保存入数据库。")},
    {QStringLiteral("删除 选定记录"), QString()},
    {QStringLiteral("打  印  当 前 标 签"), QString()},
    {QStringLiteral("当 前 页 开 始 打 印"), QString()},
    {QStringLiteral("打印选定"), QString()},
    {QStringLiteral("生成缺失邮编"), QString()},
    {data::kExportCaption, data::kExportTip},
    {QStringLiteral("交寄清单"),
     QStringLiteral("生成交寄清单（PDF、Excel 或 "
                    "CSV）：最近一次打印的记录或表格中显示的记录，按邮编排序，附各邮区件数与合计。")},
    {QStringLiteral("重新导入"), QStringLiteral("按上次的起止行和对应关系，重新导入最近一次导入的文件。")},
}};
// A print command answered "取消" in the printer chooser.
inline const QString kNothingPrinted = QStringLiteral("Kovapost提示：没有选择打印机，什么也没有打印。");
inline const QString kSaveFormatToolTip =
    QStringLiteral("保存当前调整好的位置格式（每种信封标准可保存一种格式）。");

// Envelope tab frames and options.
inline const QString kCountFrame = QStringLiteral("信 封 数 量");
inline const QString kCountHeading = QStringLiteral("可打印信封数：");
inline const QString kCurrentEnvelope = QStringLiteral("第　　　　个信封");
inline const QString kEnvelopeTotal = QStringLiteral("共　　　　个信封");
inline const QString kCalibrationFrame = QStringLiteral("打 印 校 准");
inline const QString kLockCaption = QStringLiteral("锁定格式");
inline const QString kLockTip = QStringLiteral("选中时无法移动输入框");
inline const QString kRulerCaption = QStringLiteral("显示标尺(厘米)");
inline const QString kRulerTip = QStringLiteral(
    "在信封上显示标尺，方便用户移动输入框校准位置(输入框在屏幕上的位置就是它打印在信封上的位置)。");
inline const QString kGuideCaption = QStringLiteral("显示标准格线");
inline const QString kGuideTip =
    QStringLiteral("在信封上淡淡地显示标准信封的邮编框、贴邮票处和条码区，方便摆放输入框；格线不打印。");
inline const QString kPrintFrame = QStringLiteral("打 印 信 封");
inline const QString kRotateCaption = QStringLiteral("旋转180度打印");
inline const QString kCentreFeedCaption = QStringLiteral("进纸器两边向中间收缩");
inline const QString kPortraitCaption = QStringLiteral("纵向打印");
inline const QString kLandscapeCaption = QStringLiteral("横向打印");

// Record tab.
inline const QString kCleaningFrame = QStringLiteral("数据清除规则");
inline const std::array<QString, 3> kCleaningRules = {
    QStringLiteral("清除无姓名数据"), QStringLiteral("清除无邮编数据"), QStringLiteral("清除无地址数据")};
inline const QString kLineBreakNote = QStringLiteral("注：数据中的“//”表示换行，地址打印到“//”处另起一行。");

// Help tab and about box.
inline const QString kAboutTitle = QStringLiteral("版权说明");
inline const QString kUserGuideFile = QStringLiteral("user-guide.html");
inline const QString kUserGuideMissing = QStringLiteral("无法打开使用手册：%1");
inline const QString kUserGuideTitle = QStringLiteral("使用手册");
inline const QString kOpenInBrowser = QStringLiteral("在浏览器中打开");
inline const QString kCloseHelp = QStringLiteral("关闭");

}  // namespace app
