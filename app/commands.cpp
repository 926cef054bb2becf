// The click handler of the command button array CB: one case per index, each handing the
// command to the subsystem that owns it.
#include <QScrollBar>
#include <QUrl>

#include "app/app_texts.h"
#include "app/help_texts.h"
#include "app/main_window.h"
#include "app/user_guide.h"
#include "common/prompts.h"
#include "print/ui/collate_form.h"
#include "print/ui/envelope_commands.h"
#include "print/ui/printer_chooser.h"

void MF::CB_Click(int index) {
  // Print commands first confirm the printer; the envelope prints are dropped on a cancel.
  if (index == 0 || index == 2) {
    const bool chosen = !print::ChoosePrinter(this).isEmpty();
    if (index == 0 && !chosen) return;
  }
  switch (index) {
    case 0: ShowPrintTip(print::PrintShownEnvelope(envelope_, ns_->value())); break;
    case 2: ShowPrintTip(print::CalibratePrinter(this)); break;
    case 10: ShowAbout(); break;
    case 11: OpenUserGuide(); break;
    default: break;
  }
}

void MF::ShowPrintTip(const QString& tip) {
  if (!tip.isEmpty()) SetTip(tip);
}

void MF::ShowAbout() { common::prompts().Message(app::AboutText()); }

void MF::OpenUserGuide() {
  const QString path = app::WriteUserGuide();
  if (path.isEmpty() || !openUrl_(QUrl::fromLocalFile(path)))
    common::prompts().Message(app::kUserGuideMissing.arg(path.isEmpty() ? app::kUserGuideFile : path));
}
