#include "data/divisions.h"

#include <opencc.h>

#include <QFile>
#include <algorithm>

#include "common/tsv.h"

namespace 生成邮编 {
namespace {

// Between the parts of an address people put spaces, a line break or punctuation; full-width
// forms (／ － ； ，) have become these by normalisation.
bool IsSeparator(QChar c) {
  static const QString kSeparators = QStringLiteral("/,;-、·・");
  return c.isSpace() || kSeparators.contains(c);
}

int SkipSeparators(QStringView text, int at) {
  while (at < text.size() && IsSeparator(text[at])) ++at;
  return at;
}

// A prefecture's short name with no county after it is taken only when what follows cannot be
// the rest of a street name: 广东中山东路 is a street, 辽宁朝阳新华路 a city.
bool CouldContinueStreet(QStringView text, int at) {
  static const QString kStreetChars = QStringLiteral("路街道巷里弄桥大东西南北中");
  return at < text.size() && kStreetChars.contains(text[at]);
}

}  // namespace

struct Divisions::Search {
  QStringView text;
  int bestEnd = -1;
  std::vector<int> best;

  void Offer(int division, int end) {
    if (end > bestEnd) {
      bestEnd = end;
      best.assign(1, division);
    } else if (end == bestEnd && std::find(best.begin(), best.end(), division) == best.end()) {
      best.push_back(division);
    }
  }
};

void Divisions::AddName(int division, const QString& name, bool full) {
  QStringList& names = divisions_[division].names;
  if (names.contains(name)) return;
  names.append(name);
  const int id = names_.Add(name);
  if (id == int(named_.size())) named_.emplace_back();
  named_[id].push_back({division, full});
}

Divisions Divisions::Parse(const QString& text, QStringList* errors) {
  Divisions table;
  for (const common::TsvLine& line : common::SplitTsv(text)) {
    const QStringList& fields = line.fields;
    const QString& code = fields[0];
    const int parent = fields.size() == 3 ? table.byCode_.value(fields[1], -1) : -1;
    const QStringList names = fields.size() == 3 ? fields[2].split(u' ', Qt::SkipEmptyParts) : QStringList();
    const bool isProvince = fields.size() == 3 && fields[1].isEmpty() && code.size() == 2;
    if (names.isEmpty() || (code.size() != 2 && code.size() != 4 && code.size() != 6) ||
        table.byCode_.contains(code) || (!isProvince && parent < 0)) {
      if (errors) errors->append(QStringLiteral("line %1: %2").arg(line.number).arg(fields.join(u'\t')));
      continue;
    }
    Division d;
    d.code = code;
    d.parent = parent;
    d.level = code.size() == 2 ? Level::kProvince : code.size() == 4 ? Level::kPrefecture : Level::kCounty;
    const int index = int(table.divisions_.size());
    table.byCode_.insert(code, index);
    table.divisions_.push_back(std::move(d));
    for (qsizetype n = 0; n < names.size(); ++n) table.AddName(index, names[n], n == 0);
  }
  return table;
}

void Divisions::AddFormerNames(const QString& text, QStringList* errors) {
  for (const common::TsvLine& line : common::SplitTsv(text)) {
    const int division = line.fields.size() == 3 ? byCode_.value(line.fields[0], -1) : -1;
    const QStringList names = line.fields.value(2).split(u' ', Qt::SkipEmptyParts);
    if (division < 0 || names.isEmpty()) {
      if (errors) errors->append(QStringLiteral("line %1: %2").arg(line.number).arg(line.fields.join(u'\t')));
      continue;
    }
    for (qsizetype n = 0; n < names.size(); ++n) AddName(division, names[n], n == 0);
  }
}

void Divisions::AddTraditionalForms() {
  const opencc_t converter = opencc_open(OPENCC_DEFAULT_CONFIG_SIMP_TO_TRAD);
  if (converter == reinterpret_cast<opencc_t>(-1)) return;
  // Every name on a line of its own, converted in one call.
  struct Owner {
    int division;
    bool full;
  };
  QStringList names;
  std::vector<Owner> owners;
  for (int d = 0; d < int(divisions_.size()); ++d) {
    for (qsizetype n = 0; n < divisions_[d].names.size(); ++n) {
      names << divisions_[d].names[n];
      bool full = false;
      for (const Named& named : named_[names_.Add(names.back())])
        full = full || (named.division == d && named.full);
      owners.push_back({d, full});
    }
  }
  const QByteArray simplified = names.join(u'\n').toUtf8();
  char* converted = opencc_convert_utf8(converter, simplified.constData(), size_t(simplified.size()));
  opencc_close(converter);
  if (!converted) return;
  const QStringList traditional = QString::fromUtf8(converted).split(u'\n');
  opencc_convert_utf8_free(converted);
  if (traditional.size() != names.size()) return;
  for (qsizetype i = 0; i < names.size(); ++i)
    if (traditional[i] != names[i]) AddName(owners[i].division, traditional[i], owners[i].full);
}

const Divisions& Divisions::Shipped() {
  static const Divisions shipped = [] {
    QFile file(QStringLiteral(":/divisions.tsv"));
    if (!file.open(QIODevice::ReadOnly)) return Divisions();
    Divisions table = Parse(QString::fromUtf8(file.readAll()));
    QFile former(QStringLiteral(":/former_names.tsv"));
    if (former.open(QIODevice::ReadOnly)) table.AddFormerNames(QString::fromUtf8(former.readAll()));
    table.AddTraditionalForms();
    return table;
  }();
  return shipped;
}

QString Divisions::Normalised(QStringView address) {
  return address.toString().normalized(QString::NormalizationForm_KC);
}

int Divisions::ProvinceOf(int division) const {
  while (division >= 0 && divisions_[division].parent >= 0) division = divisions_[division].parent;
  return division;
}

std::vector<int> Divisions::Read(QStringView original) const {
  // Most addresses are Chinese characters, ASCII letters, digits and punctuation alone, which
  // normalisation leaves as they are: those are read in place, without a normalised copy.
  const bool plain = std::all_of(original.begin(), original.end(), [](QChar c) {
    const char16_t u = c.unicode();
    return (u >= 0x20 && u < 0x7F) || (u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF);
  });
  const QString normalised = plain ? QString() : Normalised(original);
  const QStringView address = plain ? original : QStringView(normalised);
  // The country's name before the address, however often it stands there.
  int start = SkipSeparators(address, 0);
  for (bool skipped = true; skipped;) {
    skipped = false;
    for (const QStringView country : {u"中华人民共和国", u"中国"}) {
      if (address.mid(start).startsWith(country)) {
        start = SkipSeparators(address, start + int(country.size()));
        skipped = true;
      }
    }
  }

  std::vector<int> provinceOnly;
  for (const bool provinceFirst : {true, false}) {
    Search search{address, -1, {}};
    names_.ForEachPrefix(address.mid(start), [&](int id, int length) {
      for (const Named& n : named_[id]) {
        const Level level = divisions_[n.division].level;
        // A county opens a reading only by its full name: short county names are everyday words.
        if ((level == Level::kProvince) != provinceFirst || (level == Level::kCounty && !n.full)) continue;
        Follow(search, n.division, start + length, !n.full, true);
      }
    });
    if (!provinceFirst) return search.best.empty() ? provinceOnly : search.best;
    const bool placed = std::any_of(search.best.begin(), search.best.end(),
                                    [&](int d) { return divisions_[d].level != Level::kProvince; });
    if (placed) return search.best;
    // Only a province: a reading from below may still place the address (吉林市 is a city).
    provinceOnly = std::move(search.best);
  }
  return provinceOnly;
}

int Divisions::ProvinceOfAddress(QStringView address) const {
  const std::vector<int> read = Read(address);
  if (read.empty()) return -1;
  const int province = ProvinceOf(read.front());
  for (int d : read)
    if (ProvinceOf(d) != province) return -1;
  return province;
}

void Divisions::Follow(Search& search, int division, int end, bool shortName, bool first) const {
  const QStringView text = search.text;
  const int from = SkipSeparators(text, end);
  // A short name counts when a division of the next level follows it, or for a prefecture after
  // its province when no street name goes on from it; a full name always counts.
  const Level level = divisions_[division].level;
  if (!shortName || level == Level::kProvince ||
      (level == Level::kPrefecture && !first && !CouldContinueStreet(text, from)))
    search.Offer(division, end);
  if (level == Level::kCounty) return;
  names_.ForEachPrefix(text.mid(from), [&](int id, int length) {
    for (const Named& n : named_[id]) {
      const int parent = divisions_[n.division].parent;
      // The prefecture may be left out before a county's full name (江苏省昆山市).
      const bool child = parent == division;
      const bool grandchild = n.full && parent >= 0 && divisions_[parent].parent == division;
      if (child || grandchild) Follow(search, n.division, from + length, !n.full, false);
    }
  });
}

}  // namespace 生成邮编
