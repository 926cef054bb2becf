#pragma once
// Finds which of many patterns occur in a text with one pass over the text (an Aho-Corasick
// automaton over UTF-16 code units, so comparison is exact and case-sensitive). Built once, then
// asked about many texts: the postcode lookup uses it so that an address is not compared with
// every province and region name of the table one by one.

#include <QHash>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace data {

class SubstringMatcher {
 public:
  // Adds a non-empty pattern and returns its id (0, 1, 2 ...); the same text gets the same id.
  int Add(const QString& pattern);
  int patternCount() const { return int(patternIds_.size()); }

  // Calls found(id) for every pattern occurring in text, once per occurrence; ids of patterns
  // that occur more than once come more than once. Completes the automaton on first use.
  template <typename Found>
  void ForEachOccurrence(QStringView text, Found found) const;

 private:
  struct Node {
    int fail = 0;         // longest proper suffix that is also a prefix of some pattern
    int output = -1;      // the pattern ending here, or -1
    int nextOutput = -1;  // nearest node along the fail links that ends a pattern, or -1
  };
  static std::uint64_t Key(int node, char16_t ch) { return (std::uint64_t(node) << 16) | ch; }
  int Child(int node, char16_t ch) const;
  int Step(int node, char16_t ch) const;
  void Complete() const;

  QHash<QString, int> patternIds_;
  // Mutable: the fail links are computed lazily on the first search.
  mutable std::vector<Node> nodes_{Node{}};
  std::unordered_map<std::uint64_t, int> children_;
  std::vector<std::vector<char16_t>> childChars_{{}};
  mutable bool complete_ = false;
};

template <typename Found>
void SubstringMatcher::ForEachOccurrence(QStringView text, Found found) const {
  if (!complete_) Complete();
  int node = 0;
  for (QChar ch : text) {
    node = Step(node, ch.unicode());
    for (int n = nodes_[node].output >= 0 ? node : nodes_[node].nextOutput; n >= 0; n = nodes_[n].nextOutput)
      found(nodes_[n].output);
  }
}

}  // namespace data
