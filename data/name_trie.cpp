#include "data/name_trie.h"

namespace data {

int NameTrie::Add(QStringView name) {
  Q_ASSERT(!name.isEmpty());
  int node = 0;
  for (QChar qc : name) {
    if (const int child = Child(node, qc.unicode()); child >= 0) {
      node = child;
      continue;
    }
    if (2 * (edgeCount_ + 1) > edges_.size()) Grow();
    const std::uint64_t key = Key(node, qc.unicode());
    std::size_t at = Slot(key);
    while (edges_[at].key != kNoKey) at = (at + 1) & (edges_.size() - 1);
    node = int(ids_.size());
    edges_[at] = {key, node};
    ++edgeCount_;
    ids_.push_back(-1);
  }
  if (ids_[std::size_t(node)] < 0) ids_[std::size_t(node)] = names_++;
  return ids_[std::size_t(node)];
}

void NameTrie::Grow() {
  std::vector<Edge> old(edges_.size() * 2);
  old.swap(edges_);
  --shift_;
  for (const Edge& e : old) {
    if (e.key == kNoKey) continue;
    std::size_t at = Slot(e.key);
    while (edges_[at].key != kNoKey) at = (at + 1) & (edges_.size() - 1);
    edges_[at] = e;
  }
}

}  // namespace data
