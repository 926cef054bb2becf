#include "batch/batch_run.h"

#include <unistd.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrinterInfo>
#include <QScreen>
#include <algorithm>
#include <cstdio>
#include <memory>

#include "batch/batch_texts.h"
#include "common/prompts.h"
#include "data/cleaning.h"
#include "data/csv_export.h"
#include "data/csv_reader.h"
#include "data/data_texts.h"
#include "data/import_texts.h"
#include "data/postcode_table.h"
#include "data/postcodes.h"
#include "data/show_record.h"
#include "data/workbook.h"
#include "data/workbook_errors.h"
#include "data/workbook_import.h"
#include "data/xlsx_export.h"
#include "editor/custom_size.h"
#include "editor/format_store.h"
#include "editor/option_memory.h"
#include "editor/window_layout.h"
#include "labels/label_memory.h"
#include "labels/label_renderer.h"
#include "labels/label_texts.h"
#include "print/calibration.h"
#include "print/envelope_renderer.h"
#include "print/pdf_device.h"
#include "print/pdf_printer.h"
#include "print/posting_list.h"
#include "print/print_run.h"
#include "print/print_texts.h"
#include "print/rotated_renderer.h"
#include "print/ui/system_printer_device.h"
#include "store/database.h"
#include "store/user_copy.h"

namespace batch {
namespace {

// The program's prompts, on the command line: every message goes to stderr, and questions are
// answered no, so a run never waits for anyone. Counting the messages tells whether a step
// reported a failure.
class StderrPrompts final : public common::Prompts {
 public:
  StderrPrompts() : previous_(common::SetPrompts(this)) {}
  ~StderrPrompts() override { common::SetPrompts(previous_); }
  void Message(const QString& text) override {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
    ++messages_;
  }
  bool Ask(const QString&) override { return false; }
  std::optional<QString> Input(const QString&, const QString&, const QString&) override {
    return std::nullopt;
  }
  QString OpenFileName(const QString&, const QString&) override { return {}; }
  QString FolderName(const QString&, const QString&) override { return {}; }
  std::optional<common::FontChoice> ChooseFont(const common::FontChoice&) override { return std::nullopt; }
  int messages() const { return messages_; }

 private:
  common::Prompts* previous_;
  int messages_ = 0;
};

// "[#####     ] 12/30  8.5/s" on stderr while it is a terminal; nothing otherwise.
class ProgressBar {
 public:
  explicit ProgressBar(int total) : total_(total), shown_(isatty(fileno(stderr)) && total > 1) {
    clock_.start();
  }
  ~ProgressBar() {
    if (shown_) std::fputs("\n", stderr);
  }
  void Show(int done) {
    if (!shown_) return;
    constexpr int kWidth = 30;
    const int filled = int(qint64(kWidth) * done / total_);
    const double seconds = std::max(clock_.elapsed(), qint64(1)) / 1000.0;
    const QString bar = QString(filled, u'#') + QString(kWidth - filled, u' ');
    const QString line = kProgress.arg(bar).arg(done).arg(total_).arg(done / seconds, 0, 'f', 1);
    std::fputs(line.toUtf8().constData(), stderr);
    std::fflush(stderr);
  }

 private:
  int total_;
  bool shown_;
  QElapsedTimer clock_;
};

// Says on stderr what a cleaning step did, in the words of the grid tab's tip line. Not a
// message: messages count as failures.
void Tell(const QString& done) { std::fprintf(stderr, "%s\n", done.toUtf8().constData()); }

bool Clean(const std::vector<CleaningStep>& steps, data::RecordTable& grid) {
  for (const CleaningStep& step : steps) {
    switch (step.kind) {
      case CleaningStep::kRemoveIncomplete: {
        const auto remove = [&](std::vector<data::Record>& r) {
          data::RemoveIncomplete(r, data::Rule(step.rule));
        };
        Tell(data::kRemovedIncompleteDone.arg(grid.Modify(remove).removedRecords));
        break;
      }
      case CleaningStep::kRemoveSpaces:
        Tell(data::kRemovedSpacesDone.arg(grid.ModifyCells(data::RemoveSpaces).changedCells));
        break;
      case CleaningStep::kRemoveLineBreaks:
        Tell(data::kRemovedLineBreaksDone.arg(grid.ModifyCells(data::RemoveLineBreakMarks).changedCells));
        break;
      case CleaningStep::kMergeDuplicates:
        Tell(data::kMergedDuplicatesDone.arg(grid.Modify(data::MergeDuplicates).removedRecords));
        break;
      case CleaningStep::kCompletePostcodes: {
        std::optional<生成邮编::PostcodeTable> table = 生成邮编::ReadPostcodeTable();
        if (!table) {
          common::prompts().Message(data::kNoPostcodeTable);
          return false;
        }
        const 生成邮编::PostcodeIndex index(std::move(*table));
        生成邮编::CompletionCounts counts;
        grid.ModifyCells(
            [&](std::vector<data::Record>& r) { counts = 生成邮编::CompletePostcodes(r, index); });
        Tell(data::kCompletedPostcodesDone.arg(counts.filled).arg(counts.unrecognised));
        break;
      }
    }
  }
  return true;
}

// --sort, then --filter. The problems filter needs the postcode table.
bool SortAndFilter(const BatchOptions& options, data::RecordTable& grid) {
  if (options.sort) grid.Sort(options.sort->first, options.sort->second);
  if (options.filter.problemsOnly) {
    std::optional<生成邮编::PostcodeTable> table = 生成邮编::ReadPostcodeTable();
    if (!table) {
      common::prompts().Message(data::kNoPostcodeTable);
      return false;
    }
    grid.SetPostcodeCheck(std::make_shared<const 生成邮编::PostcodeIndex>(std::move(*table)));
  }
  grid.SetFilter(options.filter);
  return true;
}

// Without a window the canvas is laid out at the reference scale; a format prints the same
// from any canvas, so this is the window's print too.
void LayOutCanvas(editor::EnvelopeModel& envelope) { envelope.SetCanvasSize(envelope.ReferenceCanvas()); }

// The envelope as the program starts with it (stored size, format, box texts and options),
// then the command line's choices on top.
void LoadEnvelope(editor::EnvelopeModel& envelope, const EnvelopeOptions& options) {
  auto choose = [&](int size) { 格式模块::SizeOptionClick(envelope, size, [&] { LayOutCanvas(envelope); }); };
  choose(格式模块::LoadChosenSize());
  格式模块::LoadBoxContents(envelope);
  OptionMemory::LoadLastSet(envelope, choose);
  if (options.size) choose(*options.size);
  if (options.customW) {
    const editor::WholeSize size{*options.customW, *options.customH};
    envelope.SetCustomSizeText(QString::number(size.W), QString::number(size.H));
    envelope.SetSizeCaption(editor::kCustomSize, editor::CustomSizeCaption(size));
  }
  LayOutCanvas(envelope);
  editor::TabOptions tab = envelope.options();
  if (options.portrait) {
    tab.portrait = *options.portrait;
    tab.landscape = !*options.portrait;
  }
  if (options.centreFeed) tab.centreFeed = *options.centreFeed;
  if (options.rotate) tab.rotate = *options.rotate;
  envelope.SetOptions(tab);
}

print::PrinterOffsets Offsets(const EnvelopeOptions& options, const print::PrinterDevice& device) {
  if (!options.marginX) return print::ReadPrinterOffsets(device.DeviceName());
  constexpr double kSquareAt = 10;  // the calibration square's nominal place
  return {*options.marginX - kSquareAt, *options.marginY - kSquareAt};
}

// The PDF file or the installed printer the run goes to.
class Output {
 public:
  static std::unique_ptr<Output> Open(const BatchOptions& options) {
    auto output = std::make_unique<Output>();
    if (!options.output.isEmpty()) {
      auto pdf = std::make_unique<print::PdfDevice>(options.output, print::kPdfPrinterName);
      pdf->SetEnvelopeSizedPages(options.envelope.envelopePages);
      output->pdf_ = pdf.get();
      output->device_ = std::move(pdf);
      return output;
    }
    if (print::IsPdfPrinter(options.printer)) {
      common::prompts().Message(kPdfPrinterNeedsPath);
      return nullptr;
    }
    const QPrinterInfo info = QPrinterInfo::printerInfo(options.printer);
    if (info.isNull()) {
      common::prompts().Message(kUnknownPrinter.arg(options.printer));
      return nullptr;
    }
    output->device_ = std::make_unique<print::SystemPrinterDevice>(info);
    return output;
  }
  print::PrinterDevice& device() { return *device_; }
  // The PDF is complete only once closed; a printer has spooled each job already.
  bool Finish() {
    if (!pdf_ || pdf_->Finish()) return true;
    common::prompts().Message(print::kPdfNotWritten.arg(pdf_->path()));
    return false;
  }

 private:
  std::unique_ptr<print::PrinterDevice> device_;
  print::PdfDevice* pdf_ = nullptr;
};

bool PrintEnvelopes(const BatchOptions& options, const data::RecordTable& grid,
                    editor::EnvelopeModel& envelope) {
  const auto output = Output::Open(options);
  if (!output) return false;
  const print::PrinterOffsets offsets = Offsets(options.envelope, output->device());
  const double dpi = options.envelope.dpi.value_or(print::RotationDpi());
  print::FontSizeCache cache;
  const std::vector<int> run = print::RunRecords(1, grid.recordCount(), options.copies);
  ProgressBar progress(int(run.size()));
  bool allPrinted = true;
  for (int k = 1; k <= int(run.size()); ++k) {
    const int n = run[std::size_t(k - 1)];
    data::ShowRecordOn(envelope, &grid.record(n));
    const print::PrintStatus status =
        envelope.options().rotate && !output->device().EnvelopeSizedPages()
            ? print::RenderRotated(output->device(), envelope, offsets.x, offsets.y, dpi)
            : print::RenderEnvelope(output->device(), envelope, offsets.x, offsets.y, &cache);
    if (status != print::PrintStatus::kPrinted) {
      common::prompts().Message(print::EnvelopeFailedText(k, print::ErrorNumber(status)));
      allPrinted = false;
    }
    progress.Show(k);
  }
  return output->Finish() && allPrinted;
}

// The sheet the label tab was left with, then the command line's choices on top.
labels::LabelSheet Sheet(const LabelOptions& options) {
  labels::LabelSheet sheet = labels::LoadLabelSheet();
  if (options.across) sheet.numbers[labels::kAcross] = *options.across;
  if (options.down) sheet.numbers[labels::kDown] = *options.down;
  if (options.shrink) sheet.numbers[labels::kShrink] = *options.shrink;
  if (options.paperWidth) sheet.numbers[labels::kPaperWidth] = *options.paperWidth;
  if (options.paperHeight) sheet.numbers[labels::kPaperHeight] = *options.paperHeight;
  // As on the tab: ticking 横向 turns the paper that was typed.
  if (options.landscape && !sheet.landscape) {
    sheet.landscape = true;
    labels::SwapPaperSides(sheet);
  }
  if (options.items) {
    for (int check = labels::kPostcodeCheck; check <= labels::kTagCheck; ++check) sheet.ticked[check] = false;
    for (int check : *options.items) sheet.ticked[check] = true;
  }
  sheet.ticked[labels::kLinesCheck] = options.separators;
  return sheet;
}

bool PrintLabels(const BatchOptions& options, const data::RecordTable& grid,
                 const editor::EnvelopeModel& envelope) {
  const labels::LabelSheet sheet = Sheet(options.labels);
  if (!labels::PrintPrints(sheet)) {
    common::prompts().Message(labels::kTooManyToPrint);
    return false;
  }
  if (!labels::GridOf(sheet, labels::SheetPaper(sheet))) {
    common::prompts().Message(labels::kNoRoomForLabels);
    return false;
  }
  const auto output = Output::Open(options);
  if (!output) return false;
  const labels::LabelSource source{sheet, envelope, grid, options.copies};
  const int pages = labels::PageCount(sheet, int(labels::LabelCount(source)));
  const print::PrinterOffsets offsets = Offsets(options.envelope, output->device());
  print::FontSizeCache cache;
  ProgressBar progress(pages);
  bool allPrinted = true;
  int tooFull = 0;
  for (int page = 1; page <= pages; ++page) {
    if (labels::PrintLabelPage(output->device(), source, page, offsets, &cache, &tooFull) !=
        labels::PagePrinted::kPrinted) {
      common::prompts().Message(print::kPrintError);
      allPrinted = false;
    }
    progress.Show(page);
  }
  if (tooFull > 0) common::prompts().Message(labels::kTooFullLabels.arg(tooFull));
  return output->Finish() && allPrinted;
}

// Appends the cell escaped; most cells need no escaping and are appended whole.
void AppendEscaped(QString& out, const QString& cell) {
  const auto special = [](QChar c) { return c == u'\\' || c == u'\t' || c == u'\r' || c == u'\n'; };
  if (std::none_of(cell.cbegin(), cell.cend(), special)) {
    out += cell;
    return;
  }
  for (const QChar c : cell) {
    switch (c.unicode()) {
      case u'\\':
        out += QStringLiteral("\\\\");
        break;
      case u'\t':
        out += QStringLiteral("\\t");
        break;
      case u'\r':
        out += QStringLiteral("\\r");
        break;
      case u'\n':
        out += QStringLiteral("\\n");
        break;
      default:
        out += c;
    }
  }
}

}  // namespace

QString EscapeTsvCell(const QString& cell) {
  QString escaped;
  AppendEscaped(escaped, cell);
  return escaped;
}

QString RecordsTsv(const std::vector<data::Record>& records) {
  qsizetype size = 0;
  for (const data::Record& record : records)
    for (const QString& cell : record) size += cell.size() + 1;
  QString tsv;
  tsv.reserve(size + size / 8);
  for (const data::Record& record : records) {
    for (int column = 0; column < data::kColumnCount; ++column) {
      if (column > 0) tsv += u'\t';
      AppendEscaped(tsv, record[column]);
    }
    tsv += u'\n';
  }
  return tsv;
}

bool ImportSource(const QString& source, const ImportOptions& options, data::RecordTable& grid) {
  // Without --end the readers stop at the last row that holds data.
  const std::optional<int> end = options.end;
  data::Expressions expressions = options.expressions;
  if (data::IsCsvPath(source)) {
    if (!data::ImportCsv(grid, source, options.start, end, expressions, options.filterLineBreaks)) {
      common::prompts().Message(data::texts::kCsvUnreadable);
      return false;
    }
  } else if (data::IsWorkbookPath(source)) {
    QString sheet = options.sheet;
    if (sheet.isEmpty()) {
      QStringList names;
      if (const int error = data::ReadSheetNames(source, names); error != 0) {
        common::prompts().Message(data::WorkbookErrorMessage(error));
        return false;
      }
      if (names.isEmpty()) {
        common::prompts().Message(kNoSheets.arg(source));
        return false;
      }
      sheet = names.front();
    }
    if (data::ImportWorkbook(grid, source, sheet, options.start, end, expressions,
                             options.filterLineBreaks) != 0)
      return false;
  } else {
    common::prompts().Message(data::texts::kUnsupportedFile);
    return false;
  }
  if (!options.end) {
    grid.Modify([](std::vector<data::Record>& records) {
      while (!records.empty() && data::IsEmptyRecord(records.back())) records.pop_back();
    });
  }
  return true;
}

int Run(const BatchOptions& options, QTextStream& out) {
  StderrPrompts prompts;
  const bool needsDatabase = options.command != Command::kRecords;
  if (!options.database.isEmpty()) {
    DataBase::SetDatabasePath(QFileInfo(options.database).absoluteFilePath());
    if (!QFileInfo::exists(DataBase::DatabasePath()) && needsDatabase) {
      prompts.Message(kNoDatabase.arg(DataBase::DatabasePath()));
      return kFailed;
    }
  } else {
    // The user's own copy, made or brought up to date as the program does: the layout printed
    // is the one the user saved in the program. Listing records needs at most the postcodes,
    // which the template standing in for an unusable copy has as well. A copy that could not be
    // brought up to date still holds the user's layout: said once, and printed with.
    const DataBase::Preparation prepared = DataBase::UseUserCopy();
    if (!prepared.problem.isEmpty() && (needsDatabase || prepared.stale)) prompts.Message(prepared.problem);
    if (!prepared.problem.isEmpty() && needsDatabase && !prepared.stale) return kFailed;
  }

  data::RecordTable grid;
  if (!ImportSource(options.source, options.import, grid)) return kFailed;
  if (!Clean(options.cleaning, grid)) return kFailed;
  if (!SortAndFilter(options, grid)) return kFailed;
  if (options.command == Command::kRecords) {
    if (options.output.isEmpty()) {
      out << RecordsTsv(grid.shownRecords());
      out.flush();
      return kSucceeded;
    }
    const QString error =
        QFileInfo(options.output).suffix().compare(u"xlsx", Qt::CaseInsensitive) == 0
            ? data::ExportRecordsXlsx(options.output, grid.shownRecords())
            : data::ExportRecords(options.output, grid.shownRecords(), data::CsvEncoding::kUtf8);
    if (!error.isEmpty())
      prompts.Message(data::kExportFailed + options.output + QStringLiteral("\n") + error);
    return error.isEmpty() ? kSucceeded : kFailed;
  }
  if (grid.recordCount() == 0) {
    prompts.Message(options.command == Command::kPostingList ? print::kPostingEmpty : kNothingToPrint);
    return kFailed;
  }

  editor::EnvelopeModel envelope;
  const int before = prompts.messages();
  LoadEnvelope(envelope, options.envelope);
  // The stored layout could not be read: printing with the design layout would not be what
  // the program prints.
  if (prompts.messages() != before) return kFailed;
  if (options.command == Command::kPostingList) {
    const print::PostingList list =
        print::MakePostingList(grid.shownRecords(), print::SenderOf(envelope), QDate::currentDate());
    if (const QString error = print::WritePostingList(options.output, list); !error.isEmpty()) {
      prompts.Message(error);
      return kFailed;
    }
    return kSucceeded;
  }
  const bool printed = options.command == Command::kEnvelopes ? PrintEnvelopes(options, grid, envelope)
                                                              : PrintLabels(options, grid, envelope);
  return printed ? kSucceeded : kFailed;
}

}  // namespace batch
