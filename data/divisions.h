#pragma once
// The administrative divisions of mainland China (provinces, prefectures, counties) with the forms
// people write their names in, and the reading of an address by them: an address is read from its
// start as province -> prefecture -> county, and a name only counts where it stands as a division
// of the right level in the right place, so 中山路, 湖南路 or 和平里 in a street never do.
//
// An address is read as people write it: compatibility forms (full-width letters, digits, spaces
// and punctuation) normalised first, separators between the parts, former names still in use
// (襄樊, 崇文区, 密云县) and the traditional forms of the names (廣東省廣州市).
//
// The table ships with the program (resources/divisions.tsv, made by tools/make_divisions.py from
// a public data set), with the former names of resources/former_names.tsv; the traditional forms
// are made from the names by OpenCC's simplified-to-traditional conversion.

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <vector>

#include "data/name_trie.h"

namespace 生成邮编 {

enum class Level { kProvince, kPrefecture, kCounty };

struct Division {
  QString code;
  int parent = -1;  // the division it belongs to; -1 for a province
  Level level = Level::kProvince;
  QStringList names;  // the full name first, then the short forms
};

class Divisions {
 public:
  // Parses the table's text; faulty lines are skipped and described in `errors`.
  static Divisions Parse(const QString& text, QStringList* errors = nullptr);
  // Adds former names, one division a line: its code, the year of the change, the former full
  // name and its short forms. Faulty lines are skipped and described in `errors`.
  void AddFormerNames(const QString& text, QStringList* errors = nullptr);
  // Adds the traditional form of every name that has one; nothing when OpenCC's data is missing.
  void AddTraditionalForms();
  // The table compiled into the program, with its former names and traditional forms; empty
  // when the resource is missing.
  static const Divisions& Shipped();

  const std::vector<Division>& all() const { return divisions_; }
  int ProvinceOf(int division) const;
  // Calls found(division, full) for every division one of whose names is exactly `name`.
  template <typename Found>
  void ForEachNamed(QStringView name, Found found) const {
    names_.ForEachPrefix(name, [&](int id, int length) {
      if (length == name.size())
        for (const Named& n : named_[id]) found(n.division, n.full);
    });
  }

  // The deepest divisions the start of an address names, all read equally far; more than one
  // when the address can be read in several ways (普陀区 alone: 上海 or 舟山). Empty when no
  // division is recognised. Only the start is read, so the length of the address does not matter.
  //
  // Two passes: first the readings that begin with a province; when none of them gets below the
  // province, the readings that begin with a prefecture or a county.
  std::vector<int> Read(QStringView address) const;
  // The province every reading of the address lies in; -1 when it is placed in none, or when its
  // readings lie in different provinces.
  int ProvinceOfAddress(QStringView address) const;
  // The address as it is read: NFKC-normalised.
  static QString Normalised(QStringView address);

 private:
  struct Search;
  void AddName(int division, const QString& name, bool full);
  void Follow(Search& search, int division, int end, bool shortName, bool first) const;

  std::vector<Division> divisions_;
  data::NameTrie names_;
  struct Named {
    int division;
    bool full;  // the full name, suffix and all, not a short form
  };
  std::vector<std::vector<Named>> named_;  // by name id
  QHash<QString, int> byCode_;
};

}  // namespace 生成邮编
