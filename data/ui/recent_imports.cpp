#include "data/ui/recent_imports.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "common/prompts.h"
#include "data/csv_reader.h"
#include "data/import_state.h"
#include "data/import_texts.h"
#include "data/workbook.h"
#include "data/workbook_import.h"
#include "store/registry.h"

namespace data {
namespace {

const QString kSection = QStringLiteral("RecentImports");

QString Key(int i) { return QString::number(i + 1); }

QString Encode(const RecentImport& r) {
  QJsonObject o{{QStringLiteral("file"), r.file},
                {QStringLiteral("sheet"), r.sheet},
                {QStringLiteral("start"), r.start},
                {QStringLiteral("mapping"), QJsonArray{r.expressions[0], r.expressions[1], r.expressions[2]}},
                {QStringLiteral("filterLineBreaks"), r.filterLineBreaks}};
  if (r.end) o.insert(QStringLiteral("end"), *r.end);
  return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

std::optional<RecentImport> Decode(const QString& text) {
  const QJsonObject o = QJsonDocument::fromJson(text.toUtf8()).object();
  const QJsonArray mapping = o.value(QStringLiteral("mapping")).toArray();
  if (o.value(QStringLiteral("file")).toString().isEmpty() || mapping.size() != 3) return std::nullopt;
  RecentImport r;
  r.file = o.value(QStringLiteral("file")).toString();
  r.sheet = o.value(QStringLiteral("sheet")).toString();
  r.start = std::max(1, o.value(QStringLiteral("start")).toInt(2));
  if (o.contains(QStringLiteral("end"))) r.end = std::max(0, o.value(QStringLiteral("end")).toInt());
  for (int i = 0; i < 3; ++i) r.expressions[i] = mapping[i].toString();
  r.filterLineBreaks = o.value(QStringLiteral("filterLineBreaks")).toBool();
  return r;
}

}  // namespace

std::vector<RecentImport> RecentImports() {
  std::vector<RecentImport> recent;
  for (int i = 0; i < kRecentImports; ++i)
    if (std::optional<RecentImport> r = Decode(Registry::GetSetting(kSection, Key(i)))) recent.push_back(*r);
  return recent;
}

void RememberImport(const RecentImport& import) {
  std::vector<RecentImport> recent = RecentImports();
  std::erase_if(recent, [&](const RecentImport& r) { return r.file == import.file; });
  recent.insert(recent.begin(), import);
  for (int i = 0; i < kRecentImports; ++i)
    Registry::SaveSetting(kSection, Key(i),
                          i < int(recent.size()) ? Encode(recent[std::size_t(i)]) : QString());
}

bool RunImport(RecordTable& grid, const RecentImport& import) {
  if (!QFileInfo::exists(import.file)) {
    common::prompts().Message(texts::kRecentFileGone.arg(import.file));
    return false;
  }
  ImportState& state = importState();
  state.file = import.file;
  state.sheet = import.sheet;
  state.expressions = import.expressions;
  if (IsCsvPath(import.file)) {
    if (ImportCsv(grid, import.file, import.start, import.end, state.expressions, import.filterLineBreaks))
      return true;
    common::prompts().Message(texts::kCsvUnreadable);
    return false;
  }
  return ImportWorkbook(grid, import.file, import.sheet, import.start, import.end, state.expressions,
                        import.filterLineBreaks) == 0;
}

bool Reimport(RecordTable& grid) {
  const std::vector<RecentImport> recent = RecentImports();
  if (recent.empty()) {
    common::prompts().Message(texts::kNothingToReimport);
    return false;
  }
  return RunImport(grid, recent.front());
}

}  // namespace data
