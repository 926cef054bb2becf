#pragma once
// Finds which of many names begin at a place in a text, walking the text once from there (a trie
// over UTF-16 code units, so comparison is exact). Address reading asks it, at each step, which
// division names stand at the current position.

#include <QString>
#include <QStringView>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace data {

class NameTrie {
 public:
  // Adds a non-empty name and returns its id (0, 1, 2 ...); the same text gets the same id.
  int Add(QStringView name);

  // Calls found(id, length) for every name that text begins with, shortest first.
  template <typename Found>
  void ForEachPrefix(QStringView text, Found found) const {
    int node = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
      const auto it = children_.find(Key(node, text[i].unicode()));
      if (it == children_.end()) return;
      node = it->second;
      if (const int id = ids_[node]; id >= 0) found(id, int(i + 1));
    }
  }

 private:
  static std::uint64_t Key(int node, char16_t ch) { return (std::uint64_t(node) << 16) | ch; }

  std::vector<int> ids_{-1};  // by node: the name ending there, or -1
  std::unordered_map<std::uint64_t, int> children_;
  int names_ = 0;
};

}  // namespace data
