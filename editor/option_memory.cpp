#include "editor/option_memory.h"

#include <optional>

#include "common/numbers.h"
#include "store/database.h"

namespace OptionMemory {
namespace {

using DataBase::Connection;
using DataBase::Recordset;

QString OptionText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }
QString CheckText(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }

int SizeOrd(int index) { return editor::DesignSizeOptions().at(index).tag; }

// An option button takes any non-zero value as chosen.
bool AsOption(const QVariant& value) {
  return value.typeId() == QMetaType::Bool ? value.toBool() : value.toDouble() != 0;
}

// A check box knows 0 and 1; any other value is passed over.
std::optional<bool> AsCheck(const QVariant& value) {
  if (value.typeId() == QMetaType::Bool) return value.toBool();
  switch (common::RoundToInt(value.toDouble())) {
    case 0:
      return false;
    case 1:
      return true;
    default:
      return std::nullopt;
  }
}

struct Row {
  int ord;
  QString value;
};

// The rows in the order they are written: each size option, and after the first two the
// matching check box and print orientation, then centre feed and rotation.
std::vector<Row> RowsOf(const editor::EnvelopeModel& model) {
  const editor::TabOptions& o = model.options();
  std::vector<Row> rows;
  for (int i = 0; i < editor::kSizeCount; ++i) {
    rows.push_back({SizeOrd(i), OptionText(model.chosenSize() == i)});
    if (i == 0)
      rows.insert(rows.end(), {{kRulerOrd, CheckText(o.ruler)}, {kPortraitOrd, OptionText(o.portrait)}});
    if (i == 1)
      rows.insert(rows.end(), {{kLockOrd, CheckText(o.lock)}, {kLandscapeOrd, OptionText(o.landscape)}});
  }
  rows.insert(rows.end(), {{kCentreFeedOrd, CheckText(o.centreFeed)},
                           {kRotateOrd, CheckText(o.rotate)},
                           {kGuideOrd, CheckText(o.guide)}});
  return rows;
}

}  // namespace

void SaveLastSet(const editor::EnvelopeModel& model) {
  Connection connection;
  Recordset rs;
  if (!DataBase::OpenRecordset(connection, rs, QStringLiteral("SELECT * FROM 默认"))) return;
  bool ok = connection.BeginTrans();
  while (ok && rs.RecordCount() >= 1) {
    ok = rs.Delete();
    rs.MoveFirst();
  }
  for (const Row& row : RowsOf(model)) {
    if (!ok) break;
    rs.AddNew();
    ok = rs.SetValue(QStringLiteral("Ord"), double(row.ord)) &&
         rs.SetValue(QStringLiteral("Val"), row.value) && rs.Update();
  }
  if (!ok || !connection.CommitTrans()) connection.RollbackTrans();
  DataBase::CloseRecordset(connection, rs);
}

namespace {

// The rows stored under `ordinal`: nullopt when the file could not be opened.
std::optional<int> StoredRows(int ordinal, QString* text) {
  Connection connection;
  Recordset rs;
  if (!DataBase::OpenRecordset(connection, rs,
                               QStringLiteral("SELECT * FROM 默认 WHERE Ord=") + QString::number(ordinal)))
    return std::nullopt;
  const int rows = rs.RecordCount();
  *text = rows == 1 ? rs.Value(QStringLiteral("Val")).toString().toLower() : QString();
  DataBase::CloseRecordset(connection, rs);
  return rows;
}

}  // namespace

QVariant GetLastValue(int ordinal) {
  QString text;
  if (!StoredRows(ordinal, &text)) return QVariant();
  if (text == u"true") return QVariant(true);
  if (text == u"false") return QVariant(false);
  return QVariant(common::Val(text));
}

void LoadLastSet(editor::EnvelopeModel& model, const SizeClick& sizeClick) {
  // Read everything first: a file that cannot be opened changes nothing and is reported once.
  QVariant values[kRotateOrd + 1];
  const int order[] = {2, kRulerOrd, kPortraitOrd,   3,         kLockOrd, kLandscapeOrd, 4, 5, 6,
                       7, 8,         kCentreFeedOrd, kRotateOrd};
  for (const int ord : order) {
    values[ord] = GetLastValue(ord);
    if (!values[ord].isValid()) return;
  }

  // The size options form one group: choosing one clears the others. A table that chooses none
  // would leave the envelope without a size, so then the current choice stays.
  for (int i = 0; i < editor::kSizeCount; ++i) {
    if (!AsOption(values[SizeOrd(i)]) || model.chosenSize() == i) continue;
    if (sizeClick)
      sizeClick(i);
    else
      model.SetChosenSize(i);
  }

  editor::TabOptions options = model.options();
  const auto check = [&values](int ord, bool& option) {
    if (const std::optional<bool> v = AsCheck(values[ord])) option = *v;
  };
  check(kRulerOrd, options.ruler);
  check(kLockOrd, options.lock);
  // The print orientations are a group too, set one after the other.
  options.portrait = AsOption(values[kPortraitOrd]);
  if (options.portrait) options.landscape = false;
  options.landscape = AsOption(values[kLandscapeOrd]);
  if (options.landscape) options.portrait = false;
  check(kCentreFeedOrd, options.centreFeed);
  check(kRotateOrd, options.rotate);
  // The guide came later than the other options: a table from before it keeps it on.
  QString guide;
  if (StoredRows(kGuideOrd, &guide) == 1)
    if (const std::optional<bool> v = AsCheck(QVariant(common::Val(guide)))) options.guide = *v;
  model.SetOptions(options);
}

}  // namespace OptionMemory
