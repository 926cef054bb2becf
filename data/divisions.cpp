#include "data/divisions.h"

#include <QFile>
#include <QHash>
#include <algorithm>

namespace 生成邮编 {
namespace {

// Between the parts of an address people put spaces, commas or a line break.
bool IsSeparator(QChar c) { return c.isSpace() || c == u'/' || c == u',' || c == u'，' || c == u'、'; }

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

Divisions Divisions::Parse(const QString& text, QStringList* errors) {
  Divisions table;
  QHash<QString, int> byCode;
  const QStringList lines = text.split(u'\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QString line = lines[i].trimmed();
    if (line.isEmpty() || line.startsWith(u'#')) continue;
    const QStringList fields = line.split(u'\t');
    const QString& code = fields[0];
    const int parent = fields.size() == 3 ? byCode.value(fields[1], -1) : -1;
    const QStringList names = fields.size() == 3 ? fields[2].split(u' ', Qt::SkipEmptyParts) : QStringList();
    const bool isProvince = fields.size() == 3 && fields[1].isEmpty() && code.size() == 2;
    if (names.isEmpty() || (code.size() != 2 && code.size() != 4 && code.size() != 6) ||
        byCode.contains(code) || (!isProvince && parent < 0)) {
      if (errors) errors->append(QStringLiteral("line %1: %2").arg(i + 1).arg(line));
      continue;
    }
    Division d;
    d.code = code;
    d.parent = parent;
    d.level = code.size() == 2 ? Level::kProvince : code.size() == 4 ? Level::kPrefecture : Level::kCounty;
    d.names = names;
    const int index = int(table.divisions_.size());
    byCode.insert(code, index);
    for (qsizetype n = 0; n < names.size(); ++n) {
      const int id = table.names_.Add(names[n]);
      if (id == int(table.named_.size())) table.named_.emplace_back();
      table.named_[id].push_back({index, n == 0});
    }
    table.divisions_.push_back(std::move(d));
  }
  return table;
}

const Divisions& Divisions::Shipped() {
  static const Divisions shipped = [] {
    QFile file(QStringLiteral(":/divisions.tsv"));
    return file.open(QIODevice::ReadOnly) ? Parse(QString::fromUtf8(file.readAll())) : Divisions();
  }();
  return shipped;
}

int Divisions::ProvinceOf(int division) const {
  while (division >= 0 && divisions_[division].parent >= 0) division = divisions_[division].parent;
  return division;
}

std::vector<int> Divisions::Read(QStringView address) const {
  int start = SkipSeparators(address, 0);
  if (address.mid(start).startsWith(u"中国")) start = SkipSeparators(address, start + 2);

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
