#include "data/name_trie.h"

namespace data {

int NameTrie::Add(QStringView name) {
  Q_ASSERT(!name.isEmpty());
  int node = 0;
  for (QChar qc : name) {
    const auto [it, added] = children_.try_emplace(Key(node, qc.unicode()), int(ids_.size()));
    if (added) ids_.push_back(-1);
    node = it->second;
  }
  if (ids_[node] < 0) ids_[node] = names_++;
  return ids_[node];
}

}  // namespace data
