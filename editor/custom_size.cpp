#include "editor/custom_size.h"

#include "common/numbers.h"
#include "editor/editor_texts.h"

namespace editor {

std::optional<WholeSize> AcceptCustomSize(const QString& widthText, const QString& heightText) {
  const int w = common::RoundToInt(common::Val(widthText));
  const int h = common::RoundToInt(common::Val(heightText));
  if (w <= 0 || h <= 0) return std::nullopt;
  const double proportion = double(w) / h;
  if (proportion < kMinProportion || proportion > kMaxProportion) return std::nullopt;
  return WholeSize{w, h};
}

QString CustomSizeCaption(WholeSize size) {
  return kCustomCaptionPrefix + QString::number(size.W) + u'*' + QString::number(size.H);
}

}  // namespace editor
