// The click handler of the command button array CB: one case per index, each handing the
// command to the subsystem that owns it.
#include <QButtonGroup>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QUrl>

#include "app/app_texts.h"
#include "app/help_texts.h"
#include "app/main_window.h"
#include "app/user_guide.h"
#include "common/numbers.h"
#include "common/prompts.h"
#include "data/data_texts.h"
#include "data/ui/import_source.h"
#include "data/ui/recent_imports.h"
#include "data/ui/record_grid.h"
#include "editor/format_store.h"
#include "labels/ui/label_tab.h"
#include "print/posting_list.h"
#include "print/print_run.h"
#include "print/print_texts.h"
#include "print/ui/collate_form.h"
#include "print/ui/envelope_commands.h"
#include "print/ui/printer_chooser.h"

void MF::CB_Click(int index) {
  // The record commands do nothing on an empty grid; printing the selection without records is
  // refused with a message, before any printer chooser.
  if (!recordGrid_->Accepts(index)) return;

  // A print command whose printer chooser was cancelled prints nothing at all: paper and
  // envelopes are not wasted on an answer of "取消".
  const bool printing = index == 0 || index == 1 || index == 2 || index == 14 || index == 15 || index == 16;
  if (printing && !AwaitPrinterChooser(index)) {
    SetTip(app::kNothingPrinted);
    return;
  }
  switch (index) {
    case data::ui::kImport: {
      // Records just read from a file are not changed: the file still holds them.
      const int before = recordChanges_;
      data::ImportRecords(records_, this);
      if (recordChanges_ != before) exportedChanges_ = recordChanges_;
      break;
    }
    case data::ui::kReimport: {
      const int before = recordChanges_;
      data::Reimport(records_);
      if (recordChanges_ != before) exportedChanges_ = recordChanges_;
      break;
    }
    case data::ui::kExport:
      // Only the shown records went out: with a filter the others are not saved yet.
      if (recordGrid_->ExportRecords() && !records_.filtered()) exportedChanges_ = recordChanges_;
      break;
    case 0:
    case 1:
    case 16:
      PrintEnvelopes(index);
      break;
    case 2:
      ShowPrintTip(print::CalibratePrinter(this));
      connect(&print::CollateForm::Instance(this), &print::CollateForm::marginsStored, this,
              &MF::MarkCalibration, Qt::UniqueConnection);
      break;
    case 10:
      ShowAbout();
      break;
    case 11:
      OpenUserGuide();
      break;
    case data::ui::kPostingList:
      WritePostingList();
      break;
    case 12:
      格式模块::SaveEnvelopeFormat(envelope_);
      break;
    case 14:
      ShowPrintTip(labelTab_->PrintCurrentPage());
      break;
    case 15:
      ShowPrintTip(labelTab_->PrintFromCurrentPage());
      break;
    default:
      recordGrid_->Run(index, SelectedRule());
      break;
  }
  // After the import and the cleaning commands the navigator follows the records.
  recordGrid_->AfterCommand(index);
}

bool MF::AwaitPrinterChooser(int) {
  // The chooser is modal, so a second command cannot start while it is open.
  const bool chosen = !print::ChoosePrinter(this).isEmpty();
  MarkCalibration();  // the button is bold while the chosen printer is not calibrated
  return chosen;
}

void MF::RememberRun(int first, int last) {
  std::vector<data::Record> run;
  for (int n = std::max(first, 1); n <= std::min(last, records_.recordCount()); ++n)
    run.push_back(records_.record(n));
  lastRun_ = std::move(run);
}

void MF::PrintEnvelopes(int index) {
  if (index == 0) {
    RememberRun(ns_->value(), ns_->value());
    ShowPrintTip(print::PrintShownEnvelope(envelope_, ns_->value()));
    return;
  }
  int first = ns_->value();
  int last = common::RoundToInt(common::Val(num_[1]->text()));
  if (index == 16)
    std::tie(first, last) =
        print::SelectedRecords(recordGrid_->SelectedRows().first, recordGrid_->SelectedRows().second, 1);
  RememberRun(first, last);
  // Every envelope of the run is put on the envelope model to be printed; the canvas catches up
  // when the window next repaints, since redrawing its boxes for every envelope took longer than
  // printing them.
  const auto showRecord = [this](int n) {
    const QSignalBlocker quietNavigator(ns_);
    ns_->setValue(n);
    {
      const QSignalBlocker quietCanvas(&envelope_);
      ShowRecord();
    }
    if (canvasBehind_) return;
    canvasBehind_ = true;
    QTimer::singleShot(0, this, [this] {
      canvasBehind_ = false;
      envelope_.AnnounceAllBoxes();
    });
  };
  ShowPrintTip(print::RunEnvelopeCommand(this, envelope_, first, last, showRecord, copies_->value()));
}

void MF::ShowPrintTip(const QString& tip) {
  if (!tip.isEmpty()) SetTip(tip);
}

void MF::ShowRecord() { recordGrid_->ShowRecord(); }

void MF::NS_Change() { recordGrid_->NS_Change(); }

int MF::SelectedRule() const { return cleaningGroup_->checkedId(); }

void MF::ShowAbout() { common::prompts().Message(app::AboutText()); }

void MF::OpenUserGuide() {
  // One guide window, brought forward when it is already open.
  auto* help = findChild<app::HelpWindow*>();
  if (!help) {
    help = new app::HelpWindow([this](const QUrl& url) { return openUrl_(url); }, this);
    help->setAttribute(Qt::WA_DeleteOnClose);
  }
  help->show();
  help->raise();
  help->activateWindow();
}

void MF::WritePostingList() {
  std::vector<data::Record> items = records_.shownRecords();
  if (!lastRun_.empty()) {
    const common::Choice source =
        common::prompts().AskYesNoCancel(data::kPostingSourceQuestion.arg(lastRun_.size()).arg(items.size()),
                                         data::kPostingLastRun, data::kPostingShown, data::kPostingCancel);
    if (source == common::Choice::kCancel) return;
    if (source == common::Choice::kYes) items = lastRun_;
  }
  if (items.empty()) {
    common::prompts().Message(print::kPostingEmpty);
    return;
  }
  QString filter;
  QString path = common::prompts().SaveFileName(print::kPostingTitle, print::kPostingFilter, &filter);
  if (path.isEmpty()) return;
  // A typed .pdf, .xlsx or .csv decides the format; otherwise the chosen filter does.
  if (!print::IsPostingListSuffix(QFileInfo(path).suffix()))
    path += filter.contains(QStringLiteral("*.xlsx"))  ? QStringLiteral(".xlsx")
            : filter.contains(QStringLiteral("*.csv")) ? QStringLiteral(".csv")
                                                       : QStringLiteral(".pdf");
  const print::PostingList list =
      print::MakePostingList(items, print::SenderOf(envelope_), QDate::currentDate());
  const QString error = print::WritePostingList(path, list);
  if (!error.isEmpty()) {
    common::prompts().Message(error);
    return;
  }
  SetTip(print::kPostingWritten.arg(QDir::toNativeSeparators(path)).arg(list.total()));
}
