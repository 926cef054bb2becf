#include "app/program.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTableView>
#include <QTimer>
#include <QTranslator>

#include "app/app_texts.h"
#include "app/main_window.h"
#include "app/qt_prompts.h"
#include "app/single_instance.h"
#include "common/font_substitutes.h"
#include "common/prompts.h"
#include "data/data_texts.h"
#include "data/kept_records.h"
#include "data/ui/record_grid.h"
#include "store/database.h"
#include "store/user_copy.h"

namespace app {

bool InstallQtTranslations() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                        QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

void UseProgramFont() {
  common::InstallFontSubstitutes();
  QFont song(QStringLiteral("宋体"));
  song.setPointSize(9);
  QApplication::setFont(song);
}

namespace {

// Offers back the list a crashed or killed run left, then keeps the grid's records and current
// cell as they change. Nothing is kept without a data folder.
std::unique_ptr<data::KeptRecords> KeepRecords(MF& window) {
  const QString path = data::KeptRecordsPath();
  if (path.isEmpty()) return nullptr;
  const data::KeptList kept = data::ReadKeptRecords(path);
  bool restore = false;
  if (!kept.setAsideAs.isEmpty()) {
    common::prompts().Message(data::kKeptRecordsUnreadable.arg(QDir::toNativeSeparators(kept.setAsideAs)));
  } else if (!kept.records.empty()) {
    // Closing the question keeps the records rather than losing them.
    restore = common::prompts().AskYesNoCancel(data::kKeptRecordsQuestion.arg(kept.records.size()),
                                               data::kKeptRecordsRestore, data::kKeptRecordsDiscard,
                                               QString()) != common::Choice::kNo;
  }
  if (restore) {
    window.records().ReplaceAll(kept.records);
    window.recordGrid()->AfterCommand(data::ui::kImport);
    const QModelIndex cell = window.MSF()->model()->index(kept.position.row, kept.position.column);
    if (cell.isValid()) {
      window.MSF()->setCurrentIndex(cell);
      window.MSF()->scrollTo(cell);
    }
  } else {
    data::RemoveKeptRecords(path);
  }
  auto keeper = std::make_unique<data::KeptRecords>(window.records(), path);
  QObject::connect(window.MSF()->selectionModel(), &QItemSelectionModel::currentChanged, keeper.get(),
                   [kept = keeper.get()](const QModelIndex& current) {
                     kept->SetPosition({current.row(), current.column()});
                   });
  if (restore) keeper->SetPosition(kept.position);
  QObject::connect(keeper.get(), &data::KeptRecords::failed, &window,
                   [] { common::prompts().Message(data::kKeptRecordsNotWritten); });
  return keeper;
}

}  // namespace

int RunProgram(const std::function<void(MF&)>& shown) {
  QApplication::setApplicationName(QStringLiteral("kovapost"));
  QApplication::setApplicationVersion(kVersion);
  // The desktop entry's name ties the window to its menu entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.kovapost.Kovapost"));
  QIcon icon;
  for (const int size : {16, 32, 48, 256}) icon.addFile(QStringLiteral(":/icons/kovapost-%1.png").arg(size));
  QApplication::setWindowIcon(icon);
  InstallQtTranslations();
  UseProgramFont();
  QtPrompts prompts;
  common::SetPrompts(&prompts);

  SingleInstance instance;
  if (!instance.Acquire()) {
    common::prompts().Message(kAlreadyRunning);
    common::SetPrompts(nullptr);
    return 1;
  }

  int result = 0;
  {
    MF window;
    window.SetInstanceCheck([&instance] { return instance.AnotherHolds(); });
    {
      // A database that cannot be used says so once, not once for each of the start's reads.
      DataBase::OneMessage once;
      if (const QString problem = DataBase::UseUserCopy().problem; !problem.isEmpty())
        DataBase::Tell(problem);
      window.Load();
    }
    window.show();
    // Asked from the event loop, once the window is there to stand behind the question.
    std::unique_ptr<data::KeptRecords> keeper;
    QTimer::singleShot(0, &window, [&] { keeper = KeepRecords(window); });
    if (shown) shown(window);
    result = QApplication::exec();
    // The window closed normally: its records were exported or let go on purpose.
    if (keeper) keeper->Discard();
  }
  common::SetPrompts(nullptr);
  return result;
}

}  // namespace app
