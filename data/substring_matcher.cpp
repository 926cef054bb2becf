#include "data/substring_matcher.h"

#include <deque>

namespace data {

int SubstringMatcher::Add(const QString& pattern) {
  Q_ASSERT(!pattern.isEmpty());
  if (auto it = patternIds_.constFind(pattern); it != patternIds_.constEnd()) return it.value();
  const int id = int(patternIds_.size());
  patternIds_.insert(pattern, id);
  int node = 0;
  for (QChar qc : pattern) {
    const char16_t ch = qc.unicode();
    int next = Child(node, ch);
    if (next < 0) {
      next = int(nodes_.size());
      nodes_.push_back(Node{});
      childChars_.emplace_back();
      children_.emplace(Key(node, ch), next);
      childChars_[node].push_back(ch);
    }
    node = next;
  }
  nodes_[node].output = id;
  complete_ = false;
  return id;
}

int SubstringMatcher::Child(int node, char16_t ch) const {
  const auto it = children_.find(Key(node, ch));
  return it == children_.end() ? -1 : it->second;
}

int SubstringMatcher::Step(int node, char16_t ch) const {
  for (;;) {
    if (const int next = Child(node, ch); next >= 0) return next;
    if (node == 0) return 0;
    node = nodes_[node].fail;
  }
}

void SubstringMatcher::Complete() const {
  // Breadth first, so every fail link points to a node already done.
  std::deque<int> queue;
  for (char16_t ch : childChars_[0]) {
    const int child = Child(0, ch);
    nodes_[child].fail = 0;
    nodes_[child].nextOutput = -1;
    queue.push_back(child);
  }
  while (!queue.empty()) {
    const int node = queue.front();
    queue.pop_front();
    for (char16_t ch : childChars_[node]) {
      const int child = Child(node, ch);
      const int fail = Step(nodes_[node].fail, ch);
      nodes_[child].fail = fail;
      nodes_[child].nextOutput = nodes_[fail].output >= 0 ? fail : nodes_[fail].nextOutput;
      queue.push_back(child);
    }
  }
  complete_ = true;
}

}  // namespace data
