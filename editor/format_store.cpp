#include "editor/format_store.h"

#include <algorithm>
#include <cstdlib>

#include "common/numbers.h"
#include "store/database.h"
#include "store/store_texts.h"

namespace 格式模块 {

using namespace DataBase;

namespace {

const QString kFormatsQuery = QStringLiteral("SELECT * FROM 格式");
const QString kStandardFormatsTable = QStringLiteral("标准格式");
const QString kStandardFormatsQuery = QStringLiteral("SELECT * FROM 标准格式");
const QString kContentsQuery = QStringLiteral("SELECT * FROM 内容");
const QString kChosenSizeQuery = QStringLiteral("SELECT * FROM 内容 WHERE Ctl=-1");
constexpr int kChosenSizeRow = -1;

// Colours are stored as one RGB number with red in the low byte.
int ColorNumber(const QColor& color) { return color.red() | color.green() << 8 | color.blue() << 16; }
QColor ColorOf(int number) { return QColor(number & 0xFF, (number >> 8) & 0xFF, (number >> 16) & 0xFF); }

// The box index of the current row, or -2 when the row has none that fits a box or the size row.
int CtlOf(const Recordset& rs) {
  const QVariant ctl = rs.Value(QStringLiteral("Ctl"));
  return ctl.isValid() ? ctl.toInt() : -2;
}

bool IsBox(int ctl) { return ctl >= 0 && ctl < editor::kBoxCount; }

// Runs `rewrite` inside one transaction on the open recordset's connection: all its writes are
// kept, or none.
bool InOneTransaction(Connection& connection, const std::function<bool()>& rewrite) {
  if (!connection.BeginTrans()) return false;
  if (rewrite() && connection.CommitTrans()) return true;
  connection.RollbackTrans();
  return false;
}

// Empties the recordset. Stops at a row that cannot be deleted instead of trying it forever.
bool DeleteAll(Recordset& rs) {
  while (rs.RecordCount() >= 1) {
    if (!rs.Delete()) return false;
    rs.MoveFirst();
  }
  return true;
}

// Applies one stored row to its box; each value that is missing or damaged is passed over.
// A box that would lie off the envelope, have no size, or a font of no size is put right (back
// inside, at least 1 mm, the smallest font); false tells that one was.
bool ApplyFormatRow(editor::EnvelopeModel& model, const Recordset& rs, int box) {
  const auto number = [&rs](const char16_t* column) { return rs.Value(QString::fromUtf16(column)); };
  QRect geometry = model.box(box).geometry;
  if (const QVariant x = number(u"X"); x.isValid()) geometry.moveLeft(model.MmToTwips(x.toDouble()));
  if (const QVariant y = number(u"Y"); y.isValid()) geometry.moveTop(model.MmToTwips(y.toDouble()));
  if (const QVariant w = number(u"W"); w.isValid()) geometry.setWidth(model.MmToTwips(w.toDouble()));
  if (const QVariant h = number(u"H"); h.isValid()) geometry.setHeight(model.MmToTwips(h.toDouble()));
  const QRect inside = editor::InsideCanvas(geometry, model.canvasSize(), model.MmToTwips(1));
  // A box that ends on the edge may pass it by a rounding; only a real move is worth a word.
  const int slack = model.MmToTwips(0.5);
  const QRect d(inside.topLeft() - geometry.topLeft(), inside.size() - geometry.size());
  bool repaired =
      std::max({std::abs(d.left()), std::abs(d.top()), std::abs(d.width()), std::abs(d.height())}) > slack;
  model.SetBoxGeometry(box, inside);

  common::FontChoice font = model.box(box).font;
  if (const QVariant color = number(u"Color"); color.isValid()) font.color = ColorOf(color.toInt());
  if (const QString name = number(u"fName").toString(); !name.isEmpty()) font.name = name;
  if (const QVariant size = number(u"fSize"); size.isValid()) {
    font.size = size.toDouble();
    if (!(font.size >= editor::kSmallestFontPoints)) {
      font.size = editor::kSmallestFontPoints;
      repaired = true;
    }
  }
  if (const QVariant bold = number(u"fBold"); bold.isValid()) font.bold = bold.toBool();
  if (const QVariant italic = number(u"fItalic"); italic.isValid()) font.italic = italic.toBool();
  if (const QVariant underline = number(u"fUnderline"); underline.isValid())
    font.underline = underline.toBool();
  if (const QVariant strike = number(u"fStrikethru"); strike.isValid()) font.strikeout = strike.toBool();
  model.SetBoxFont(box, font);
  return repaired;
}

// Moves `rs` to the first row filed under `key`; false when there is none.
bool FindFormat(Recordset& rs, const QString& key) {
  for (rs.MoveFirst(); !rs.AtEnd(); rs.MoveNext())
    if (editor::SizeKey(rs.Value(QStringLiteral("Name")).toString()) == key) return true;
  return false;
}

bool AddFormatRow(Recordset& rs, const editor::EnvelopeModel& model, const QString& caption, int b) {
  const editor::Box& box = model.box(b);
  const QRect& g = box.geometry;
  rs.AddNew();
  return rs.SetValue(QStringLiteral("Name"), caption) && rs.SetValue(QStringLiteral("Ctl"), b) &&
         rs.SetValue(QStringLiteral("X"), model.TwipsToMm(g.left())) &&
         rs.SetValue(QStringLiteral("Y"), model.TwipsToMm(g.top())) &&
         rs.SetValue(QStringLiteral("W"), model.TwipsToMm(g.width())) &&
         rs.SetValue(QStringLiteral("H"), model.TwipsToMm(g.height())) &&
         rs.SetValue(QStringLiteral("Color"), ColorNumber(box.font.color)) &&
         rs.SetValue(QStringLiteral("fName"), box.font.name) &&
         rs.SetValue(QStringLiteral("fSize"), box.font.size) &&
         rs.SetValue(QStringLiteral("fBold"), box.font.bold) &&
         rs.SetValue(QStringLiteral("fItalic"), box.font.italic) &&
         rs.SetValue(QStringLiteral("fUnderline"), box.font.underline) &&
         rs.SetValue(QStringLiteral("fStrikethru"), box.font.strikeout) && rs.Update();
}

}  // namespace

void LoadEnvelopeFormat(editor::EnvelopeModel& model, const LayoutStep& layoutEnvelopeTab) {
  const int size = model.chosenSize();
  if (size < 0) return;
  const QString key = editor::SizeKey(model.sizeCaption(size));
  const auto matches = [&key](const Recordset& rs) {
    return editor::SizeKey(rs.Value(QStringLiteral("Name")).toString()) == key;
  };

  // The user's own format, else the one shipped for a standard size (a database made before
  // the shipped formats existed has no such table).
  Connection connection;
  Recordset rs;
  const bool usable = OpenRecordset(connection, rs, kFormatsQuery);
  bool found = usable && FindFormat(rs, key);
  if (usable && !found && TableExists(kStandardFormatsTable))
    found = OpenRecordset(connection, rs, kStandardFormatsQuery) && FindFormat(rs, key);
  if (found) model.SetSizeCaption(size, rs.Value(QStringLiteral("Name")).toString());
  // The canvas takes the size's proportions before any box is placed.
  const QString& caption = model.sizeCaption(size);
  model.SetCustomSizeText(common::NumberText(editor::CaptionWidth(caption)),
                          common::NumberText(editor::CaptionHeight(caption)));
  if (layoutEnvelopeTab) layoutEnvelopeTab();

  bool repaired = false;
  if (found) {
    for (; !rs.AtEnd(); rs.MoveNext()) {
      if (!matches(rs)) continue;
      if (const int ctl = CtlOf(rs); IsBox(ctl)) repaired = ApplyFormatRow(model, rs, ctl) || repaired;
    }
  }
  CloseRecordset(connection, rs);
  if (repaired) common::prompts().Message(FormatRepairedText(model.sizeCaption(size)));
}

void SaveEnvelopeFormat(const editor::EnvelopeModel& model) {
  const int size = model.chosenSize();
  if (size < 0) return;
  const QString caption = model.sizeCaption(size);
  const QString key = editor::SizeKey(caption);

  Connection connection;
  Recordset rs;
  if (!OpenRecordset(connection, rs, kFormatsQuery)) return;
  const bool saved = InOneTransaction(connection, [&] {
    for (; !rs.AtEnd(); rs.MoveNext())
      if (editor::SizeKey(rs.Value(QStringLiteral("Name")).toString()) == key && !rs.Delete()) return false;
    for (int b = 0; b < editor::kBoxCount; ++b)
      if (!AddFormatRow(rs, model, caption, b)) return false;
    return true;
  });
  CloseRecordset(connection, rs);
  common::prompts().Message(saved ? FormatSavedText(caption) : FormatNotSavedText(caption));
}

void LoadBoxContents(editor::EnvelopeModel& model) {
  Connection connection;
  Recordset rs;
  if (!OpenRecordset(connection, rs, kContentsQuery)) return;
  for (; !rs.AtEnd(); rs.MoveNext())
    if (const int ctl = CtlOf(rs); IsBox(ctl))
      model.SetBoxText(ctl, rs.Value(QStringLiteral("Con")).toString());
  CloseRecordset(connection, rs);
}

void SaveBoxContents(const editor::EnvelopeModel& model) {
  Connection connection;
  Recordset rs;
  if (!OpenRecordset(connection, rs, kContentsQuery)) return;
  InOneTransaction(connection, [&] {
    for (; !rs.AtEnd(); rs.MoveNext())
      if (CtlOf(rs) != kChosenSizeRow && !rs.Delete()) return false;
    for (int b = 0; b < editor::kBoxCount; ++b) {
      rs.AddNew();
      if (!rs.SetValue(QStringLiteral("Ctl"), b) || !rs.SetValue(QStringLiteral("Con"), model.box(b).text) ||
          !rs.Update())
        return false;
    }
    return true;
  });
  CloseRecordset(connection, rs);
}

int LoadChosenSize() {
  Connection connection;
  Recordset rs;
  if (!OpenRecordset(connection, rs, kChosenSizeQuery)) return editor::kDefaultSize;
  int size = editor::kDefaultSize;
  if (rs.RecordCount() > 0) {
    bool isNumber = false;
    const double stored = rs.Value(QStringLiteral("Con")).toString().trimmed().toDouble(&isNumber);
    const int index = isNumber ? common::RoundToInt(stored) : -1;
    if (index >= 0 && index < editor::kSizeCount) size = index;
  }
  CloseRecordset(connection, rs);
  return size;
}

void SaveChosenSize(const editor::EnvelopeModel& model) {
  const int size = model.chosenSize();
  if (size < 0) return;
  Connection connection;
  Recordset rs;
  if (!OpenRecordset(connection, rs, kChosenSizeQuery)) return;
  InOneTransaction(connection, [&] {
    if (!DeleteAll(rs)) return false;
    rs.AddNew();
    return rs.SetValue(QStringLiteral("Ctl"), kChosenSizeRow) &&
           rs.SetValue(QStringLiteral("Con"), QString::number(size)) && rs.Update();
  });
  CloseRecordset(connection, rs);
}

void SizeOptionClick(editor::EnvelopeModel& model, int index, const LayoutStep& layoutEnvelopeTab) {
  model.SetChosenSize(index);
  LoadEnvelopeFormat(model, layoutEnvelopeTab);
}

}  // namespace 格式模块
