#include "editor/envelope_model.h"

#include <algorithm>

#include "common/numbers.h"

namespace editor {
namespace {

const QString kSongTi = QStringLiteral("宋体");

Box DesignBox(int left, int top, int width, int height, double points, bool bold, const QString& text) {
  Box b;
  b.geometry = QRect(left, top, width, height);
  b.font.name = kSongTi;
  b.font.size = points;
  b.font.bold = bold;
  b.text = text;
  return b;
}

}  // namespace

const std::array<SizeOption, kSizeCount>& DesignSizeOptions() {
  static const std::array<SizeOption, kSizeCount> options = {{
      {QStringLiteral("C6: 162*114 毫米"), QString(), 2},
      {QStringLiteral("B6: 176*125 毫米"), QStringLiteral("3号信封"), 3},
      {QStringLiteral("DL: 220*110 毫米"), QStringLiteral("5号信封"), 4},
      {QStringLiteral("ZL: 230*120 毫米"), QStringLiteral("6号信封"), 5},
      {QStringLiteral("C5: 229*162 毫米"), QStringLiteral("7号信封"), 6},
      {QStringLiteral("C4: 324*229 毫米"), QStringLiteral("9号信封"), 7},
      {QStringLiteral("自定义：220*111"), QString(), 8},
  }};
  return options;
}

BoxRules RulesOf(int box) {
  if (box >= kFirstDigitBox && box <= kLastDigitBox) return {1, true, false, true};
  switch (box) {
    case kNameBox:
      return {200, false, true, false};
    case kSenderPostcodeBox:
      return {6, true, false, false};
    case kTagBox:
      return {0, false, true, true};
    default:
      return {0, false, true, false};
  }
}

QRect InsideCanvas(const QRect& box, QSize canvas, int least) {
  if (canvas.width() <= 0 || canvas.height() <= 0) return box;
  least = std::max(least, 1);
  const int w = std::clamp(box.width(), std::min(least, canvas.width()), canvas.width());
  const int h = std::clamp(box.height(), std::min(least, canvas.height()), canvas.height());
  return QRect(std::clamp(box.left(), 0, canvas.width() - w), std::clamp(box.top(), 0, canvas.height() - h),
               w, h);
}

double CaptionWidth(const QString& caption) { return common::Val(QStringView(caption).mid(4)); }

double CaptionHeight(const QString& caption) {
  const qsizetype star = caption.indexOf(u'*');
  return star < 0 ? 0.0 : common::Val(QStringView(caption).mid(star + 1));
}

EnvelopeModel::EnvelopeModel(QObject* parent) : QObject(parent) {
  const QString digits = QStringLiteral("321200");
  for (int i = kFirstDigitBox; i <= kLastDigitBox; ++i)
    boxes_[i] = DesignBox(240 + 480 * i, 240, 336, 343, 9.75, true, digits.mid(i, 1));
  boxes_[kAddressBox] = DesignBox(720, 960, 5055, 885, 18, true, QStringLiteral("浙江省杭州市\n"));
  boxes_[kNameBox] = DesignBox(3480, 2040, 2415, 645, 26.25, true, QStringLiteral("杨丽"));
  boxes_[kSenderAddressBox] = DesignBox(4800, 2760, 4455, 975, 12, false, QString());
  boxes_[kSenderPostcodeBox] = DesignBox(7080, 3840, 1770, 360, 9.75, true, QStringLiteral("100073"));
  boxes_[kTagBox] = DesignBox(8040, 360, 850, 837, 11.25, false, QString());
  for (int i = 0; i < kSizeCount; ++i) sizeCaptions_[i] = DesignSizeOptions()[i].caption;
  customText_ = {QStringLiteral("220"), QStringLiteral("110")};
  for (int i = 0; i < kBoxCount; ++i) RememberShare(i);
}

void EnvelopeModel::RememberShare(int index) {
  if (canvas_.width() <= 0) return;
  const QRect& g = boxes_[index].geometry;
  const double w = canvas_.width();
  shares_[index] = QRectF(g.left() / w, g.top() / w, g.width() / w, g.height() / w);
}

void EnvelopeModel::SetBoxGeometry(int index, const QRect& twips) {
  Box& b = boxes_.at(index);
  if (b.geometry == twips) return;
  b.geometry = twips;
  RememberShare(index);
  emit boxChanged(index);
}

void EnvelopeModel::SetBoxFont(int index, const common::FontChoice& font) {
  Box& b = boxes_.at(index);
  if (b.font == font) return;
  b.font = font;
  emit boxChanged(index);
}

void EnvelopeModel::SetBoxText(int index, const QString& text) {
  Box& b = boxes_.at(index);
  if (b.text == text) return;
  b.text = text;
  emit boxChanged(index);
}

void EnvelopeModel::SetSelected(int index, bool selected) {
  Box& b = boxes_.at(index);
  if (b.selected == selected) return;
  b.selected = selected;
  emit boxChanged(index);
  emit selectionChanged();
}

void EnvelopeModel::AnnounceAllBoxes() {
  for (int i = 0; i < kBoxCount; ++i) emit boxChanged(i);
}

bool EnvelopeModel::AnySelected() const {
  for (const Box& b : boxes_)
    if (b.selected) return true;
  return false;
}

void EnvelopeModel::UnselectAll() {
  for (int i = 0; i < kBoxCount; ++i) SetSelected(i, false);
}

QRect EnvelopeModel::PostCodeLabelGeometry() const {
  const QRect& b = boxes_[kSenderPostcodeBox].geometry;
  return QRect(QPoint(b.left() - kPostCodeLabelSize.width(), b.top() + 80), kPostCodeLabelSize);
}

void EnvelopeModel::SetChosenSize(int index) {
  if (index < -1 || index >= kSizeCount) index = kDefaultSize;
  if (chosenSize_ == index) return;
  chosenSize_ = index;
  emit sizeChanged();
}

void EnvelopeModel::SetSizeCaption(int index, const QString& caption) {
  if (sizeCaptions_.at(index) == caption) return;
  sizeCaptions_[index] = caption;
  emit sizeChanged();
}

void EnvelopeModel::SetCustomSizeText(const QString& width, const QString& height) {
  if (customText_[0] == width && customText_[1] == height) return;
  customText_ = {width, height};
  emit sizeChanged();
}

double EnvelopeModel::W() const { return chosenSize_ < 0 ? 0.0 : CaptionWidth(sizeCaptions_[chosenSize_]); }
double EnvelopeModel::H() const { return chosenSize_ < 0 ? 0.0 : CaptionHeight(sizeCaptions_[chosenSize_]); }

void EnvelopeModel::SetCanvasSize(const QSize& twips) {
  if (canvas_ == twips) return;
  canvas_ = twips;
  if (canvas_.width() > 0) {
    const double w = canvas_.width();
    for (int i = 0; i < kBoxCount; ++i) {
      const QRectF& s = shares_[i];
      const QRect scaled(common::RoundToInt(s.left() * w), common::RoundToInt(s.top() * w),
                         common::RoundToInt(s.width() * w), common::RoundToInt(s.height() * w));
      if (boxes_[i].geometry == scaled) continue;
      boxes_[i].geometry = scaled;
      emit boxChanged(i);
    }
  }
  emit canvasChanged();
}

QSize EnvelopeModel::ReferenceCanvas() const {
  return {common::RoundToInt(W() * kReferenceTwipsPerMm), common::RoundToInt(H() * kReferenceTwipsPerMm)};
}

double EnvelopeModel::FontZoom() const {
  const double w = W();
  return w > 0 && canvas_.width() > 0 ? canvas_.width() / (w * kReferenceTwipsPerMm) : 1.0;
}

int EnvelopeModel::MmToTwips(double mm) const {
  const double w = W();
  return w > 0 ? common::RoundToInt(canvas_.width() / w * mm) : 0;
}

double EnvelopeModel::TwipsToMm(int twips) const {
  const double w = W();
  return w > 0 && canvas_.width() > 0 ? common::RoundToHundredths(twips * w / canvas_.width()) : 0.0;
}

void EnvelopeModel::SetOptions(const TabOptions& options) {
  if (options_ == options) return;
  options_ = options;
  emit optionsChanged();
}

}  // namespace editor
