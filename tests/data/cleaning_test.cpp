#include "data/cleaning.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using data::Record;
using Records = std::vector<Record>;

// Records numbered 1..n in column 0, from {name, postcode, address} triples.
Records Numbered(std::initializer_list<std::array<const char16_t*, 3>> fields) {
  Records records;
  for (const auto& f : fields)
    records.push_back({QString::number(records.size() + 1), QString::fromUtf16(f[0]),
                       QString::fromUtf16(f[1]), QString::fromUtf16(f[2])});
  return records;
}

// ---- The straightforward grid procedures, row by row as on the grid, as the reference. ----
// The grid holds the header in row 0; Rows is rows.size().
struct Grid {
  std::vector<Record> rows;
  explicit Grid(const Records& records) : rows(records) { rows.insert(rows.begin(), Record{}); }
  int Rows() const { return int(rows.size()); }
  void SetRows(int n) { rows.resize(n); }
  bool Empty(int r) const { return (rows[r][1] + rows[r][2] + rows[r][3]).isEmpty(); }
  void CopyFields(int to, int from) {
    for (int c = 1; c <= 3; ++c) rows[to][c] = rows[from][c];
  }
  Records Records_() const { return Records(rows.begin() + 1, rows.end()); }
};

void ReferenceCompact(Grid& g) {
  int stoppedAt = -1;
  for (int r = 1; r <= g.Rows() - 1; ++r) {
    if (!g.Empty(r)) continue;
    int s = r + 1;
    while (s < g.Rows() && g.Empty(s)) ++s;
    if (s == g.Rows()) {
      stoppedAt = r;
      break;
    }
    g.CopyFields(r, s);
    for (int c = 1; c <= 3; ++c) g.rows[s][c].clear();
  }
  if (stoppedAt >= 0) g.SetRows(stoppedAt);
}

void ReferenceRemoveIncomplete(Grid& g, int k) {
  const int c = k + 1;
  for (int r = 1; r <= g.Rows() - 1; ++r)
    if (g.rows[r][c].isEmpty())
      for (int f = 1; f <= 3; ++f) g.rows[r][f].clear();
  ReferenceCompact(g);
}

void ReferenceMerge(Grid& g) {
  int j = 1;
  while (j < g.Rows()) {
    bool found = false;
    for (int i = j + 1; i <= g.Rows() - 1 && !found; ++i)
      found = g.rows[i][1] == g.rows[j][1] && g.rows[i][2] == g.rows[j][2] && g.rows[i][3] == g.rows[j][3];
    if (found) {
      for (int r = j; r <= g.Rows() - 2; ++r) g.CopyFields(r, r + 1);
      g.SetRows(g.Rows() - 1);
    } else {
      ++j;
    }
  }
}

void ReferenceDelete(Grid& g, int a, int b) {
  int first = std::min(a, b);
  const int last = std::max(a, b);
  if (first < 1) first = 1;
  if (last < first) return;
  const int n = last - first + 1;
  for (int r = first; r <= g.Rows() - n - 1; ++r) g.CopyFields(r, r + n);
  g.SetRows(g.Rows() - n);
}

void ReferenceReplace(Grid& g, const QString& pattern) {
  for (int r = 1; r < g.Rows(); ++r)
    for (int c = 1; c <= 3; ++c) g.rows[r][c].replace(pattern, QString());
}

// Lists full of duplicates, empty fields, spaces and marks.
Records RandomRecords(std::mt19937& rng, int n) {
  static const QStringList names = {u""_qs, u" "_qs, u"张三"_qs, u"李四"_qs, u"a"_qs, u"A"_qs, u"王 五//"_qs};
  static const QStringList codes = {u""_qs, u"310000"_qs, u" 310000 "_qs, u"100000"_qs, u"1"_qs};
  static const QStringList addresses = {u""_qs,   u"浙江省 杭州市"_qs,   u"北京//朝阳"_qs, u"a///b"_qs,
                                        u"　"_qs, u"上海市\r\n徐汇区"_qs};
  Records records;
  for (int i = 0; i < n; ++i) {
    const auto pick = [&](const QStringList& l) {
      return l[std::uniform_int_distribution<int>(0, l.size() - 1)(rng)];
    };
    records.push_back({QString::number(i + 1), pick(names), pick(codes), pick(addresses)});
  }
  return records;
}

TEST(CleaningEquivalenceTest, FastProceduresMatchTheRowByRowOnes) {
  std::mt19937 rng(5);
  for (int round = 0; round < 300; ++round) {
    const Records start = RandomRecords(rng, std::uniform_int_distribution<int>(0, 40)(rng));
    SCOPED_TRACE(round);
    {
      Grid g(start);
      ReferenceCompact(g);
      Records fast = start;
      data::CompactRecords(fast);
      EXPECT_EQ(fast, g.Records_());
    }
    for (int k = 0; k < 3; ++k) {
      Grid g(start);
      ReferenceRemoveIncomplete(g, k);
      Records fast = start;
      data::RemoveIncomplete(fast, data::Rule(k));
      EXPECT_EQ(fast, g.Records_()) << "rule " << k;
    }
    {
      Grid g(start);
      ReferenceMerge(g);
      Records fast = start;
      data::MergeDuplicates(fast);
      EXPECT_EQ(fast, g.Records_());
    }
    if (!start.empty()) {
      std::uniform_int_distribution<int> row(0, int(start.size()));
      const int a = row(rng), b = row(rng);
      Grid g(start);
      ReferenceDelete(g, a, b);
      Records fast = start;
      data::DeleteRecordRange(fast, a, b);
      EXPECT_EQ(fast, g.Records_()) << a << ".." << b;
    }
    {
      Grid spaces(start), marks(start);
      ReferenceReplace(spaces, u" "_qs);
      ReferenceReplace(marks, u"//"_qs);
      Records fastSpaces = start, fastMarks = start;
      data::RemoveSpaces(fastSpaces);
      data::RemoveLineBreakMarks(fastMarks);
      EXPECT_EQ(fastSpaces, spaces.Records_());
      EXPECT_EQ(fastMarks, marks.Records_());
    }
  }
}

TEST(CleaningTest, CommandsOnSmallLists) {
  const struct {
    const char* what;
    Records before;
    std::function<void(Records&)> command;
    Records after;
  } cases[] = {
      {"rule 清除无邮编数据 drops the record without postcode",
       Numbered({{u"甲", u"1", u"x"}, {u"乙", u"", u"y"}, {u"丙", u"3", u"z"}}),
       [](Records& r) { data::RemoveIncomplete(r, data::Rule::kNeedsPostcode); },
       Numbered({{u"甲", u"1", u"x"}, {u"丙", u"3", u"z"}})},
      {"a name of one space is not missing", Numbered({{u" ", u"1", u"x"}, {u"", u"2", u"y"}}),
       [](Records& r) { data::RemoveIncomplete(r, data::Rule::kNeedsName); }, Numbered({{u" ", u"1", u"x"}})},
      {"no record left", Numbered({{u"", u"1", u"x"}, {u"", u"", u""}}),
       [](Records& r) { data::RemoveIncomplete(r, data::Rule::kNeedsName); }, Numbered({})},
      {"spaces go, ideographic spaces stay", Numbered({{u"王 五", u" 310000 ", u"浙江省 杭州市　西湖"}}),
       data::RemoveSpaces, Numbered({{u"王五", u"310000", u"浙江省杭州市　西湖"}})},
      {"only the mark goes, real line breaks stay", Numbered({{u"a//b", u"1//", u"北京//朝阳\r\n///x"}}),
       data::RemoveLineBreakMarks, Numbered({{u"ab", u"1", u"北京朝阳\r\n/x"}})},
      {"A, B, A gives B, A", Numbered({{u"A", u"1", u"a"}, {u"B", u"2", u"b"}, {u"A", u"1", u"a"}}),
       data::MergeDuplicates, Numbered({{u"B", u"2", u"b"}, {u"A", u"1", u"a"}})},
      {"records differing in case are kept", Numbered({{u"Li", u"1", u"a"}, {u"LI", u"1", u"a"}}),
       data::MergeDuplicates, Numbered({{u"Li", u"1", u"a"}, {u"LI", u"1", u"a"}})},
      {"rows 5 up to 3 deleted, numbers run on",
       Numbered({{u"1", u"", u""},
                 {u"2", u"", u""},
                 {u"3", u"", u""},
                 {u"4", u"", u""},
                 {u"5", u"", u""},
                 {u"6", u"", u""},
                 {u"7", u"", u""}}),
       [](Records& r) { data::DeleteRecordRange(r, 5, 3); },
       Numbered({{u"1", u"", u""}, {u"2", u"", u""}, {u"6", u"", u""}, {u"7", u"", u""}})},
      {"the header row is never deleted", Numbered({{u"1", u"", u""}, {u"2", u"", u""}}),
       [](Records& r) { data::DeleteRecordRange(r, 0, 1); }, Numbered({{u"2", u"", u""}})},
      {"rows past the end are ignored", Numbered({{u"1", u"", u""}, {u"2", u"", u""}}),
       [](Records& r) { data::DeleteRecordRange(r, 2, 40000); }, Numbered({{u"1", u"", u""}})},
  };
  for (const auto& c : cases) {
    Records records = c.before;
    c.command(records);
    EXPECT_EQ(records, c.after) << c.what;
  }
}

}  // namespace
