// .xlsx, .ods and XML spreadsheets through liborcus. The import factory below keeps only what
// the import needs: sheet names, the cells of one sheet, number formats (to tell dates from
// numbers), cached formula results and merged areas.
#include <QHash>
#include <memory>
#include <orcus/exception.hpp>
#include <orcus/format_detection.hpp>
#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xls_xml.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>
#include <unordered_map>

#include "common/numbers.h"
#include "data/workbook.h"
#include "data/workbook_package.h"
#include "data/xlsx_inline_strings.h"

namespace data::detail {
namespace {

namespace ss = orcus::spreadsheet;
namespace iface = orcus::spreadsheet::iface;

constexpr int kMaxRows = 1048576;
constexpr int kMaxColumns = 16384;

QString Utf8(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

struct DateKind {
  bool date = false;
  bool time = false;
};

// Whether a number format shows a date or a time: look for date letters outside quoted text,
// escapes and [colour]/[$-locale] sections.
DateKind KindOfFormatCode(const QString& code) {
  DateKind kind;
  bool inQuotes = false;
  for (qsizetype i = 0; i < code.size(); ++i) {
    const QChar c = code[i];
    if (c == u'"') {
      inQuotes = !inQuotes;
    } else if (inQuotes) {
      continue;
    } else if (c == u'\\' || c == u'_' || c == u'*') {
      ++i;
    } else if (c == u'[') {
      const qsizetype close = code.indexOf(u']', i);
      const QString inside = code.mid(i + 1, close < 0 ? -1 : close - i - 1).toLower();
      // Elapsed time, [h]:mm, is a time; [Red] and [$-804] are not.
      if (!inside.isEmpty() && (inside[0] == u'h' || inside[0] == u'm' || inside[0] == u's'))
        kind.time = true;
      if (close < 0) break;
      i = close;
    } else {
      const QChar l = c.toLower();
      if (l == u'y' || l == u'd' || l == u'm') kind.date = true;
      if (l == u'h' || l == u's') kind.time = true;
    }
  }
  // "m" next to hours or seconds is minutes, not months.
  if (kind.time && kind.date && !code.contains(u'y', Qt::CaseInsensitive) &&
      !code.contains(u'd', Qt::CaseInsensitive))
    kind.date = false;
  return kind;
}

// Built-in number formats that show dates or times.
DateKind KindOfBuiltinFormat(size_t id) {
  if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || (id >= 34 && id <= 36) || (id >= 50 && id <= 58))
    return {true, false};
  if (id == 22) return {true, true};
  if ((id >= 18 && id <= 21) || id == 32 || id == 33 || (id >= 45 && id <= 47)) return {false, true};
  return {};
}

class SharedStrings final : public iface::import_shared_strings {
 public:
  std::vector<QString> strings;
  QHash<QString, size_t> index;
  // Strings committed since the last cell was set: an .ods cell of several paragraphs commits
  // one string per paragraph and then refers to the last one only.
  size_t sinceLastCell = 0;

  QString CellString(size_t id, bool joinParagraphs) const {
    if (id >= strings.size()) return {};
    if (!joinParagraphs || id + 1 != strings.size() || id < sinceLastCell) return strings[id];
    QStringList paragraphs;
    for (size_t i = sinceLastCell; i <= id; ++i) paragraphs << strings[i];
    return paragraphs.join(u'\n');
  }

  size_t append(std::string_view s) override {
    strings.push_back(Utf8(s));
    return strings.size() - 1;
  }
  size_t add(std::string_view s) override {
    QString text = Utf8(s);
    if (const auto found = index.constFind(text); found != index.cend()) return *found;
    index.insert(text, strings.size());
    strings.push_back(std::move(text));
    return strings.size() - 1;
  }
  void set_segment_font(size_t) override {}
  void set_segment_bold(bool) override {}
  void set_segment_italic(bool) override {}
  void set_segment_font_name(std::string_view) override {}
  void set_segment_font_size(double) override {}
  void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                              ss::color_elem_t) override {}
  void append_segment(std::string_view s) override { segments_ += Utf8(s); }
  size_t commit_segments() override {
    strings.push_back(std::move(segments_));
    segments_ = QString();
    return strings.size() - 1;
  }

 private:
  QString segments_;
};

// Only the number format of each cell format matters.
class Styles final : public iface::import_styles {
 public:
  DateKind KindOfCellFormat(size_t xf) const {
    if (xf >= cellFormats_.size()) return {};
    const size_t format = cellFormats_[xf];
    if (const auto code = codes_.find(format); code != codes_.end()) return KindOfFormatCode(code->second);
    return KindOfBuiltinFormat(format);
  }

  void set_number_format_count(size_t) override {}
  void set_number_format_identifier(size_t id) override { formatId_ = id; }
  void set_number_format_code(std::string_view s) override { formatCode_ = Utf8(s); }
  size_t commit_number_format() override {
    // The identifier doubles as the index, so a cell format may refer to either.
    const size_t id = formatId_ ? formatId_ : kFirstOwnId + codes_.size();
    codes_[id] = formatCode_;
    formatId_ = 0;
    formatCode_.clear();
    return id;
  }
  void set_xf_number_format(size_t index) override { xfFormat_ = index; }
  size_t commit_cell_xf() override {
    cellFormats_.push_back(xfFormat_);
    xfFormat_ = 0;
    return cellFormats_.size() - 1;
  }
  size_t commit_cell_style_xf() override {
    xfFormat_ = 0;
    return styleCount_++;
  }
  size_t commit_dxf() override {
    xfFormat_ = 0;
    return dxfCount_++;
  }

  void set_font_count(size_t) override {}
  void set_font_bold(bool) override {}
  void set_font_italic(bool) override {}
  void set_font_name(std::string_view) override {}
  void set_font_size(double) override {}
  void set_font_underline(ss::underline_t) override {}
  void set_font_underline_width(ss::underline_width_t) override {}
  void set_font_underline_mode(ss::underline_mode_t) override {}
  void set_font_underline_type(ss::underline_type_t) override {}
  void set_font_underline_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                                ss::color_elem_t) override {}
  void set_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
  void set_strikethrough_style(ss::strikethrough_style_t) override {}
  void set_strikethrough_type(ss::strikethrough_type_t) override {}
  void set_strikethrough_width(ss::strikethrough_width_t) override {}
  void set_strikethrough_text(ss::strikethrough_text_t) override {}
  size_t commit_font() override { return fonts_++; }
  void set_fill_count(size_t) override {}
  void set_fill_pattern_type(ss::fill_pattern_t) override {}
  void set_fill_fg_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
  void set_fill_bg_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
  size_t commit_fill() override { return fills_++; }
  void set_border_count(size_t) override {}
  void set_border_style(ss::border_direction_t, ss::border_style_t) override {}
  void set_border_color(ss::border_direction_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                        ss::color_elem_t) override {}
  void set_border_width(ss::border_direction_t, double, orcus::length_unit_t) override {}
  size_t commit_border() override { return borders_++; }
  void set_cell_hidden(bool) override {}
  void set_cell_locked(bool) override {}
  void set_cell_print_content(bool) override {}
  void set_cell_formula_hidden(bool) override {}
  size_t commit_cell_protection() override { return protections_++; }
  void set_cell_xf_count(size_t) override {}
  void set_cell_style_xf_count(size_t) override {}
  void set_dxf_count(size_t) override {}
  void set_xf_font(size_t) override {}
  void set_xf_fill(size_t) override {}
  void set_xf_border(size_t) override {}
  void set_xf_protection(size_t) override {}
  void set_xf_style_xf(size_t) override {}
  void set_xf_apply_alignment(bool) override {}
  void set_xf_horizontal_alignment(ss::hor_alignment_t) override {}
  void set_xf_vertical_alignment(ss::ver_alignment_t) override {}
  void set_cell_style_count(size_t) override {}
  void set_cell_style_name(std::string_view) override {}
  void set_cell_style_xf(size_t) override {}
  void set_cell_style_builtin(size_t) override {}
  void set_cell_style_parent_name(std::string_view) override {}
  size_t commit_cell_style() override { return cellStyles_++; }

 private:
  static constexpr size_t kFirstOwnId = 1000000;
  std::unordered_map<size_t, QString> codes_;
  std::vector<size_t> cellFormats_;
  size_t formatId_ = 0;
  QString formatCode_;
  size_t xfFormat_ = 0;
  size_t styleCount_ = 0, dxfCount_ = 0, fonts_ = 0, fills_ = 0, borders_ = 0, protections_ = 0,
         cellStyles_ = 0;
};

// A cell as the file gives it, turned into text once the formats are known.
struct RawCell {
  enum Kind : unsigned char { kText, kNumber, kBool };
  int row, column;
  Kind kind;
  double number;
  QString text;
  // The cell format, when it came right with the cell; otherwise it is looked up.
  size_t xf = kNoFormat;
  static constexpr size_t kNoFormat = size_t(-1);
};

class Sheet;

class Formula final : public iface::import_formula {
 public:
  explicit Formula(Sheet& sheet) : sheet_(sheet) {}
  void set_position(ss::row_t row, ss::col_t col) override {
    row_ = row;
    column_ = col;
    result_.reset();
  }
  void set_formula(ss::formula_grammar_t, std::string_view) override {}
  void set_shared_formula_index(size_t) override {}
  void set_result_string(std::string_view value) override {
    result_ = RawCell{row_, column_, RawCell::kText, 0, Utf8(value)};
  }
  void set_result_value(double value) override {
    result_ = RawCell{row_, column_, RawCell::kNumber, value, {}};
  }
  void set_result_bool(bool value) override {
    result_ = RawCell{row_, column_, RawCell::kBool, value ? 1.0 : 0.0, {}};
  }
  void set_result_empty() override { result_.reset(); }
  void commit() override;

 private:
  Sheet& sheet_;
  int row_ = 0, column_ = 0;
  std::optional<RawCell> result_;
};

class Properties final : public iface::import_sheet_properties {
 public:
  explicit Properties(Sheet& sheet) : sheet_(sheet) {}
  void set_column_width(ss::col_t, double, orcus::length_unit_t) override {}
  void set_column_hidden(ss::col_t, bool) override {}
  void set_row_height(ss::row_t, double, orcus::length_unit_t) override {}
  void set_row_hidden(ss::row_t, bool) override {}
  void set_merge_cell_range(const ss::range_t& range) override;

 private:
  Sheet& sheet_;
};

// Collects the cells of the wanted sheet; other sheets are passed over.
class Sheet final : public iface::import_sheet {
 public:
  Sheet(bool keep, SharedStrings& strings, bool joinParagraphs)
      : keep_(keep), strings_(strings), joinParagraphs_(joinParagraphs) {}

  bool keep_;
  std::vector<RawCell> cells;
  std::unordered_map<quint64, size_t> formats;
  struct Area {
    int firstRow, firstColumn, lastRow, lastColumn;
    size_t xf;
  };
  std::vector<Area> formatAreas;
  std::vector<Area> merged;
  // Cells given as date and time parts, already text.
  void Add(RawCell cell) {
    strings_.sinceLastCell = strings_.strings.size();
    if (keep_ && cell.row >= 0 && cell.column >= 0) cells.push_back(std::move(cell));
  }

  iface::import_formula* get_formula() override { return &formula_; }
  iface::import_sheet_properties* get_sheet_properties() override { return &properties_; }
  void set_auto(ss::row_t row, ss::col_t col, std::string_view s) override {
    Add({row, col, RawCell::kText, 0, Utf8(s)});
  }
  void set_string(ss::row_t row, ss::col_t col, ss::string_id_t id) override {
    Add({row, col, RawCell::kText, 0, keep_ ? strings_.CellString(id, joinParagraphs_) : QString()});
  }
  void set_value(ss::row_t row, ss::col_t col, double value) override {
    Add({row, col, RawCell::kNumber, value, {}});
  }
  void set_bool(ss::row_t row, ss::col_t col, bool value) override {
    Add({row, col, RawCell::kBool, value ? 1.0 : 0.0, {}});
  }
  void set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int hour, int minute,
                     double second) override {
    QString text = QStringLiteral("%1-%2-%3")
                       .arg(year, 4, 10, QChar(u'0'))
                       .arg(month, 2, 10, QChar(u'0'))
                       .arg(day, 2, 10, QChar(u'0'));
    const int seconds = common::RoundToInt(second);
    if (hour || minute || seconds)
      text += QStringLiteral(" %1:%2:%3")
                  .arg(hour, 2, 10, QChar(u'0'))
                  .arg(minute, 2, 10, QChar(u'0'))
                  .arg(seconds, 2, 10, QChar(u'0'));
    Add({row, col, RawCell::kText, 0, std::move(text)});
  }
  void set_format(ss::row_t row, ss::col_t col, size_t xf) override {
    if (!keep_) return;
    // Formats mostly follow their cell at once; keep them there instead of in the map.
    if (!cells.empty() && cells.back().row == row && cells.back().column == col) {
      cells.back().xf = xf;
    } else {
      formats[Key(row, col)] = xf;
    }
  }
  void set_format(ss::row_t firstRow, ss::col_t firstCol, ss::row_t lastRow, ss::col_t lastCol,
                  size_t xf) override {
    if (keep_) formatAreas.push_back({firstRow, firstCol, lastRow, lastCol, xf});
  }
  void fill_down_cells(ss::row_t row, ss::col_t col, ss::row_t count) override {
    if (!keep_) return;
    // Repeated rows of an .ods copy the cell above; the copies are bounded by the sheet.
    for (size_t i = cells.size(); i-- > 0;) {
      if (cells[i].row == row && cells[i].column == col) {
        const RawCell source = cells[i];
        for (ss::row_t r = 1; r <= count && row + r < kMaxRows; ++r) {
          RawCell copy = source;
          copy.row = row + r;
          cells.push_back(copy);
        }
        break;
      }
    }
  }
  ss::range_size_t get_sheet_size() const override { return {kMaxRows, kMaxColumns}; }

  static quint64 Key(int row, int column) { return (quint64(quint32(row)) << 32) | quint32(column); }

  size_t FormatOf(int row, int column) const {
    if (const auto found = formats.find(Key(row, column)); found != formats.end()) return found->second;
    for (auto area = formatAreas.rbegin(); area != formatAreas.rend(); ++area)
      if (row >= area->firstRow && row <= area->lastRow && column >= area->firstColumn &&
          column <= area->lastColumn)
        return area->xf;
    return 0;
  }

 private:
  SharedStrings& strings_;
  bool joinParagraphs_;
  Formula formula_{*this};
  Properties properties_{*this};
};

void Formula::commit() {
  if (result_) sheet_.Add(std::move(*result_));
  result_.reset();
}

void Properties::set_merge_cell_range(const ss::range_t& range) {
  if (sheet_.keep_)
    sheet_.merged.push_back({range.first.row, range.first.column, range.last.row, range.last.column, 0});
}

class GlobalSettings final : public iface::import_global_settings {
 public:
  int originYear = 1899;
  void set_origin_date(int year, int, int) override { originYear = year; }
  void set_default_formula_grammar(ss::formula_grammar_t grammar) override { grammar_ = grammar; }
  ss::formula_grammar_t get_default_formula_grammar() const override { return grammar_; }
  void set_character_set(orcus::character_set_t) override {}

 private:
  ss::formula_grammar_t grammar_ = ss::formula_grammar_t::unknown;
};

// Cell addresses in A1 notation, with or without a sheet prefix and $ signs.
class ReferenceResolver final : public iface::import_reference_resolver {
 public:
  ss::src_address_t resolve_address(std::string_view address) override {
    std::string_view text = address;
    if (const size_t bang = text.find_last_of("!."); bang != std::string_view::npos)
      text.remove_prefix(bang + 1);
    ss::src_address_t result{0, 0, 0};
    int column = 0;
    int row = 0;
    for (const char c : text) {
      if (c >= 'A' && c <= 'Z')
        column = std::min(column * 26 + (c - 'A' + 1), kMaxColumns);
      else if (c >= 'a' && c <= 'z')
        column = std::min(column * 26 + (c - 'a' + 1), kMaxColumns);
      else if (c >= '0' && c <= '9')
        row = std::min(row * 10 + (c - '0'), kMaxRows);
    }
    if (column < 1 || row < 1) throw orcus::invalid_arg_error("not a cell address");
    result.row = row - 1;
    result.column = column - 1;
    return result;
  }
  ss::src_range_t resolve_range(std::string_view range) override {
    const size_t colon = range.find(':');
    const ss::src_address_t first = resolve_address(range.substr(0, colon));
    const ss::src_address_t last =
        colon == std::string_view::npos ? first : resolve_address(range.substr(colon + 1));
    return {first, last};
  }
};

class Factory final : public iface::import_factory {
 public:
  Factory(const QString* wanted, QStringList& names, bool joinParagraphs)
      : wanted_(wanted), names_(names), joinParagraphs_(joinParagraphs) {}

  Sheet* kept = nullptr;
  SharedStrings strings;
  Styles styles;
  GlobalSettings settings;

  iface::import_global_settings* get_global_settings() override { return &settings; }
  iface::import_shared_strings* get_shared_strings() override { return &strings; }
  iface::import_styles* get_styles() override { return &styles; }
  iface::import_reference_resolver* get_reference_resolver(ss::formula_ref_context_t) override {
    return &resolver_;
  }
  iface::import_sheet* append_sheet(ss::sheet_t, std::string_view name) override {
    names_ << Utf8(name);
    const bool keep = wanted_ && !kept && names_.back() == *wanted_;
    sheets_.push_back(std::make_unique<Sheet>(keep, strings, joinParagraphs_));
    if (keep) kept = sheets_.back().get();
    return sheets_.back().get();
  }
  iface::import_sheet* get_sheet(std::string_view name) override {
    const qsizetype i = names_.indexOf(Utf8(name));
    return i < 0 ? nullptr : sheets_[i].get();
  }
  iface::import_sheet* get_sheet(ss::sheet_t index) override {
    return index >= 0 && size_t(index) < sheets_.size() ? sheets_[index].get() : nullptr;
  }
  void finalize() override {}

 private:
  const QString* wanted_;
  QStringList& names_;
  bool joinParagraphs_;
  ReferenceResolver resolver_;
  std::vector<std::unique_ptr<Sheet>> sheets_;
};

QString TextOf(const RawCell& cell, const Factory& factory, const Sheet& sheet) {
  switch (cell.kind) {
    case RawCell::kText:
      return cell.text;
    case RawCell::kBool:
      return cell.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case RawCell::kNumber:
      break;
  }
  const size_t xf = cell.xf != RawCell::kNoFormat ? cell.xf : sheet.FormatOf(cell.row, cell.column);
  const DateKind kind = factory.styles.KindOfCellFormat(xf);
  if (!kind.date && !kind.time) return common::NumberText(cell.number);
  // Workbooks of the 1904 date system count their days four years and a day later.
  const double serial = factory.settings.originYear == 1904 ? cell.number + 1462 : cell.number;
  return SerialDateText(serial, kind.date, kind.time);
}

// A zip file that is no workbook is of the wrong type; one that cannot even be read as a zip
// file is a damaged workbook, most likely cut short.
int UnknownContent(const QByteArray& bytes) {
  if (!bytes.startsWith("PK")) return kWorkbookWrongType;
  try {
    orcus::zip_archive_stream_blob blob(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                        size_t(bytes.size()));
    orcus::zip_archive archive(&blob);
    archive.load();
  } catch (const std::exception&) {
    return kWorkbookCannotOpen;
  }
  return kWorkbookWrongType;
}

}  // namespace

int ReadOrcusBytes(const QByteArray& bytes, const QString* sheetName, QStringList& names, Worksheet* sheet) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
  if (IsDamagedZip(bytes)) return kWorkbookCannotOpen;
  orcus::format_t format = orcus::format_t::unknown;
  try {
    format = orcus::detect(data, size_t(bytes.size()));
  } catch (const std::exception&) {
    return UnknownContent(bytes);
  }
  Factory factory(sheet ? sheetName : nullptr, names, format == orcus::format_t::ods);
  std::unique_ptr<orcus::iface::import_filter> filter;
  switch (format) {
    case orcus::format_t::xlsx:
      filter = std::make_unique<orcus::orcus_xlsx>(&factory);
      break;
    case orcus::format_t::ods:
      filter = std::make_unique<orcus::orcus_ods>(&factory);
      break;
    case orcus::format_t::xls_xml:
      filter = std::make_unique<orcus::orcus_xls_xml>(&factory);
      break;
    default:
      return UnknownContent(bytes);
  }
  QByteArray readable = bytes;
  if (format == orcus::format_t::xlsx)
    if (const int error = ReadableXlsx(bytes, sheet ? sheetName : nullptr, readable)) return error;
  std::vector<MergedArea> odsMerged;
  if (format == orcus::format_t::ods) ReadableOds(bytes, sheet ? sheetName : nullptr, readable, odsMerged);
  // A damaged or truncated file makes the parser throw; that is a workbook that cannot be opened.
  try {
    filter->read_stream(std::string_view(readable.constData(), size_t(readable.size())));
  } catch (const std::exception&) {
    return kWorkbookCannotOpen;
  }
  if (!sheet) return kWorkbookOk;
  if (!factory.kept) return kWorkbookNoSuchSheet;

  sheet->SetLimits(kMaxRows, kMaxColumns);
  for (const RawCell& cell : factory.kept->cells)
    sheet->SetCell(cell.row, cell.column, TextOf(cell, factory, *factory.kept));
  for (const Sheet::Area& area : factory.kept->merged)
    sheet->AddMergedArea(area.firstRow, area.firstColumn, area.lastRow, area.lastColumn);
  for (const MergedArea& area : odsMerged)
    sheet->AddMergedArea(area.firstRow, area.firstColumn, area.lastRow, area.lastColumn);
  if (format == orcus::format_t::xlsx)
    ReadXlsxInlineStrings(bytes, *sheetName, [sheet](int row, int column, QString text) {
      sheet->SetCell(row, column, std::move(text));
    });
  return kWorkbookOk;
}

}  // namespace data::detail
