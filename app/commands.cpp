// The click handler of the command button array CB: one case per index, each handing the
// command to the subsystem that owns it.
#include <QUrl>

#include "app/app_texts.h"
#include "app/help_texts.h"
#include "app/main_window.h"
#include "app/user_guide.h"
#include "common/prompts.h"
#include "editor/format_store.h"

void MF::CB_Click(int index) {
  switch (index) {
    case 10: ShowAbout(); break;
    case 11: OpenUserGuide(); break;
    case 12: DataBase::SaveEnvelopeFormat(envelope_); break;
    default: break;
  }
}

void MF::ShowAbout() { common::prompts().Message(app::AboutText()); }

void MF::OpenUserGuide() {
  const QString path = app::WriteUserGuide();
  if (path.isEmpty() || !openUrl_(QUrl::fromLocalFile(path)))
    common::prompts().Message(app::kUserGuideMissing.arg(path.isEmpty() ? app::kUserGuideFile : path));
}
