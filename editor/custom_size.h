#pragma once
// The custom envelope size typed into T1(0) and T1(1).

#include <QString>
#include <optional>

namespace editor {

struct WholeSize {
  int W;
  int H;
  bool operator==(const WholeSize&) const = default;
};

// Proportions an envelope can have: every standard size lies between 1.408 and 2.0, and
// window envelopes reach about 2.3. Anything narrower than square or longer than 2.5 is a typo.
constexpr double kMinProportion = 1.0;
constexpr double kMaxProportion = 2.5;

// The whole numbers in the two boxes when they make an envelope: both above zero and
// W / H within the bounds above. nullopt for an empty box, a zero or a lopsided size.
std::optional<WholeSize> AcceptCustomSize(const QString& widthText, const QString& heightText);

// "自定义：220*111".
QString CustomSizeCaption(WholeSize size);

}  // namespace editor
