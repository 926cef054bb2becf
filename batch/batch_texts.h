#pragma once
// What the batch tool says on the command line. The messages of the import, printing and the
// database come from their own subsystems, so the tool and the window say the same.

#include <QString>

namespace batch {

inline const QString kUsage = QStringLiteral(
    "用法：\n"
    "  kovapost-batch records   SOURCE [导入选项] [清理选项]\n"
    "  kovapost-batch envelopes SOURCE [导入选项] [清理选项] [信封选项] (-o OUT.pdf | --printer NAME)\n"
    "  kovapost-batch labels    SOURCE [导入选项] [清理选项] [标签选项] (-o OUT.pdf | --printer NAME)\n"
    "  kovapost-batch posting-list SOURCE [导入选项] [清理选项] [--database PATH] -o "
    "LIST.pdf|LIST.xlsx|LIST.csv\n"
    "  kovapost-batch records   SOURCE [导入选项] [清理选项] -o OUT.xlsx|OUT.csv\n"
    "\n"
    "导入选项：\n"
    "  --sheet NAME            工作表（默认第一张）\n"
    "  --start N               起始行（默认 2）\n"
    "  --end N                 结束行（默认：有数据的最后一行）\n"
    "  --recipient EXPR        收件人表达式（默认 A）\n"
    "  --postcode EXPR         邮编表达式（默认 B）\n"
    "  --address EXPR          地址表达式（默认 C）\n"
    "  --filter-line-breaks    删去单元格内的换行，换行前后的文字直接相连\n"
    "                          （不加此项时换行变为“//”）\n"
    "清理选项（按给出的顺序执行）：\n"
    "  --remove-incomplete name|postcode|address  --remove-spaces  --remove-line-breaks\n"
    "  --merge-duplicates  --complete-postcodes\n"
    "排序与筛选（先排序，再筛选；各命令都可用）：\n"
    "  --sort COLUMN[:desc]    按一列排序：number、name、postcode、address（或 序号、收件人、邮编、地址），\n"
    "                          :desc 为降序；邮编按数字顺序，相同的保持原有次序\n"
    "  --filter F              只保留符合的记录；可重复，须全部符合：\n"
    "                          text=文字      任意一列含有此文字\n"
    "                          name=文字  address=文字   该列含有此文字\n"
    "                          postcode=数字  邮编以这些数字开头\n"
    "                          province=省份  地址在此省份（如 广东 或 广东省）\n"
    "                          problems       邮编与地址中的省份不符\n"
    "                          generated      邮编是自动生成的\n"
    "  --copies N              envelopes、labels：每条记录连续打印 N 份（默认 1）\n"
    "信封选项：\n"
    "  --size C6|B6|DL|ZL|C5|C4|WxH   （默认：程序中最后选择的尺寸）\n"
    "  --portrait-printing | --landscape-printing\n"
    "  --centre-feed | --no-centre-feed   --rotate | --no-rotate   --dpi N\n"
    "  --page a4|envelope      PDF 的页面：A4 纸（默认），或每页就是信封本身的大小（给印刷店）\n"
    "  --margins X,Y           打印边距（毫米，默认：已保存的边距）\n"
    "  --database PATH         参数数据库（默认：用户自己的 Par.mdb 副本）\n"
    "标签选项（也可用 --size、--margins、--database）：\n"
    "  --across N  --down N  --shrink X  --paper WxH  --landscape  --no-separators\n"
    "  --items postcode,address,name,sender,sender-postcode,tag\n"
    "\n"
    "records 把记录以制表符分隔（UTF-8）输出：序号、收件人、邮编、地址；给出 -o 时写入 .xlsx 或 .csv 文件。\n"
    "posting-list 写出交寄清单（按邮编排序，附各邮区件数与合计），寄件人取自保存的信封格式。\n"
    "退出码：0 成功，1 无法读取或打印，2 参数错误。\n");

// Argument errors; %1 is the argument.
inline const QString kNoCommand = QStringLiteral("缺少命令：records、envelopes、labels 或 posting-list");
inline const QString kBadSort =
    QStringLiteral("--sort 需要 number、name、postcode 或 address，可加 :desc，而不是“%1”");
inline const QString kBadFilter = QStringLiteral("--filter 不认识“%1”");
inline const QString kBadRecordsOutput =
    QStringLiteral("records 的 -o 只接受 .xlsx 或 .csv 文件，而不是“%1”");
inline const QString kBadPostingListOutput =
    QStringLiteral("posting-list 需要 -o LIST.pdf、LIST.xlsx 或 LIST.csv，而不是“%1”");
inline const QString kUnknownCommand = QStringLiteral("未知命令：%1");
inline const QString kNoSource = QStringLiteral("缺少数据文件");
inline const QString kUnknownOption = QStringLiteral("未知选项：%1");
inline const QString kMissingValue = QStringLiteral("选项 %1 缺少值");
inline const QString kBadNumber = QStringLiteral("选项 %1 需要一个正整数，而不是“%2”");
inline const QString kBadDecimal = QStringLiteral("选项 %1 需要一个数，而不是“%2”");
inline const QString kBadRule =
    QStringLiteral("--remove-incomplete 只接受 name、postcode 或 address，而不是“%1”");
inline const QString kBadSize =
    QStringLiteral("--size 只接受 C6、B6、DL、ZL、C5、C4 或 宽x高（毫米），而不是“%1”");
inline const QString kBadPage = QStringLiteral("--page 只接受 a4 或 envelope，而不是“%1”");
inline const QString kPageNeedsPdf = QStringLiteral("--page envelope 只用于 -o OUT.pdf");
inline const QString kBadPaper = QStringLiteral("--paper 需要 宽x高（毫米），而不是“%1”");
inline const QString kBadMargins = QStringLiteral("--margins 需要 X,Y（毫米），而不是“%1”");
inline const QString kBadItem = QStringLiteral("--items 不认识“%1”");
inline const QString kNotForCommand = QStringLiteral("选项 %1 不适用于此命令");
inline const QString kNoOutput = QStringLiteral("需要 -o OUT.pdf 或 --printer NAME 之一");
inline const QString kTwoOutputs = QStringLiteral("-o 和 --printer 只能选一个");
inline const QString kBothOrientations =
    QStringLiteral("--portrait-printing 和 --landscape-printing 只能选一个");
inline const QString kEndBeforeStart = QStringLiteral("--end 不能小于 --start − 1");
inline const QString kPdfPrinterNeedsPath = QStringLiteral("打印到PDF文件请用 -o OUT.pdf");

// Failures while running; %1 is a path or a name.
inline const QString kNoDatabase = QStringLiteral("找不到参数数据库：%1");
inline const QString kNoSheets = QStringLiteral("工作簿中没有工作表：%1");
inline const QString kSheetMissing = QStringLiteral("工作簿中没有名为“%1”的工作表");
inline const QString kNothingToPrint = QStringLiteral("没有可打印的记录");
inline const QString kUnknownPrinter = QStringLiteral("找不到打印机：%1");

// The progress line: done, total, envelopes or pages per second.
inline const QString kProgress = QStringLiteral("\r[%1] %2/%3  %4/s ");

}  // namespace batch
