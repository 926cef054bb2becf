// kovapost-batch: the program's import, cleaning and printing from the command line, for
// lists that are printed the same way again and again, and for machines without a display.
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

#include "batch/batch_options.h"
#include "batch/batch_run.h"
#include "batch/batch_texts.h"
#include "common/allocator.h"
#include "common/font_substitutes.h"

namespace {

QtMessageHandler qtHandler = nullptr;

// Qt's notes about the machine ("QStandardPaths: XDG_RUNTIME_DIR not set", font fallbacks) are
// no business of someone printing a list; stderr carries the tool's own messages and progress.
// Only Qt's reports of real failures pass.
void QuietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) qtHandler(type, context, message);
}

}  // namespace

int main(int argc, char* argv[]) {
  common::KeepFreedMemoryForReuse();
  qtHandler = qInstallMessageHandler(QuietQtMessages);
  // Without a display the fonts and the PDF writer work just as well on the offscreen platform.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
      qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  QGuiApplication::setApplicationName(QStringLiteral("kovapost-batch"));
  common::InstallFontSubstitutes();

  QStringList arguments = QGuiApplication::arguments();
  arguments.removeFirst();
  const auto parsed = batch::ParseArguments(arguments);
  if (const auto* error = std::get_if<batch::ArgumentError>(&parsed)) {
    if (error->message.isEmpty()) {
      std::fputs(batch::kUsage.toUtf8().constData(), stdout);
      return batch::kSucceeded;
    }
    std::fprintf(stderr, "kovapost-batch: %s\n\n%s", error->message.toUtf8().constData(),
                 batch::kUsage.toUtf8().constData());
    return batch::kBadArguments;
  }
  QTextStream out(stdout);
  out.setEncoding(QStringConverter::Utf8);
  return batch::Run(std::get<batch::BatchOptions>(parsed), out);
}
