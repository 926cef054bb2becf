#pragma once
// Finds which of many names begin at a place in a text, walking the text once from there (a trie
// over UTF-16 code units, so comparison is exact). Address reading asks it, at each step, which
// division names stand at the current position.

#include <QString>
#include <QStringView>
#include <cstdint>
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
      node = Child(node, text[i].unicode());
      if (node < 0) return;
      if (const int id = ids_[std::size_t(node)]; id >= 0) found(id, int(i + 1));
    }
  }

 private:
  // The edges from a node by a code unit, in an open-addressing table: reading an address asks
  // for dozens of edges, and a general hash map's division and scattered nodes cost a sixth of it.
  struct Edge {
    std::uint64_t key = kNoKey;
    int child = -1;
  };
  static constexpr std::uint64_t kNoKey = ~std::uint64_t(0);
  static std::uint64_t Key(int node, char16_t ch) { return (std::uint64_t(node) << 16) | ch; }
  std::size_t Slot(std::uint64_t key) const { return std::size_t((key * 0x9E3779B97F4A7C15ull) >> shift_); }
  int Child(int node, char16_t ch) const {
    const std::uint64_t key = Key(node, ch);
    for (std::size_t at = Slot(key);; at = (at + 1) & (edges_.size() - 1)) {
      if (edges_[at].key == key) return edges_[at].child;
      if (edges_[at].key == kNoKey) return -1;
    }
  }
  void Grow();

  std::vector<int> ids_{-1};                         // by node: the name ending there, or -1
  std::vector<Edge> edges_ = std::vector<Edge>(16);  // a power of two, at most half full
  int shift_ = 64 - 4;                               // 64 - log2(edges_.size())
  std::size_t edgeCount_ = 0;
  int names_ = 0;
};

}  // namespace data
