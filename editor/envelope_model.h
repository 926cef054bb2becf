#pragma once
// The envelope as the user lays it out: the eleven boxes P1(0)..P1(10) on the canvas EP, the
// seven size options O1(0)..O1(6) with the custom size boxes T1, and the envelope-tab options.
// Geometry is in twips relative to the canvas' top-left corner (15 twips per logical pixel).
// The widgets show this model and turn gestures into calls on it; printing reads it.

#include <QObject>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <array>

#include "common/prompts.h"

namespace editor {

constexpr int kBoxCount = 11;
constexpr int kSizeCount = 7;
constexpr int kCustomSize = 6;
constexpr int kDefaultSize = 2;  // DL
constexpr int kTwipsPerPixel = 15;
// Font sizes are kept as they are on a canvas at this scale, the design canvas of DL (9250 twips
// for 220 mm). The canvas on screen follows the screen; a box's font size does not, so a format
// means the same on every screen and in the batch tool. The screen shows fonts zoomed with the
// canvas (FontZoom) and printing sizes them against this scale.
constexpr double kReferenceTwipsPerMm = 9250.0 / 220.0;
// The smallest font a box gets; a stored font of no size is raised to it.
constexpr double kSmallestFontPoints = 5;

// Box indices: 0..5 recipient postcode digits, then the text boxes.
enum BoxIndex : int {
  kFirstDigitBox = 0,
  kLastDigitBox = 5,
  kAddressBox = 6,
  kNameBox = 7,
  kSenderAddressBox = 8,
  kSenderPostcodeBox = 9,
  kTagBox = 10,
};

struct Box {
  QRect geometry;           // twips on the canvas
  common::FontChoice font;  // name, size in points, effects and fore colour
  QString text;
  bool selected = false;  // shown with the back colour RGB(208,208,208)
};

// How a box accepts input, fixed by its role.
struct BoxRules {
  int maxLength;  // 0: no limit
  bool digitsOnly;
  bool multiLine;
  bool centred;
};
BoxRules RulesOf(int box);

// The design values of a size option: caption, hover tip and option-memory ordinal.
struct SizeOption {
  QString caption;
  QString tip;
  int tag;
};
const std::array<SizeOption, kSizeCount>& DesignSizeOptions();

// W and H carried by a size caption: W is the number starting at the fifth character, H the
// number after the "*". "DL: 220*110 毫米" gives 220 and 110, "自定义：90*45" gives 90 and 45.
double CaptionWidth(const QString& caption);
double CaptionHeight(const QString& caption);
// `box` moved and sized to lie on a canvas of `canvas`: at least `least` wide and high (and no
// larger than the canvas), its corner moved back onto the canvas so that all of it shows.
QRect InsideCanvas(const QRect& box, QSize canvas, int least);

// The key a stored format is filed under: the caption's first three characters.
inline QString SizeKey(const QString& caption) { return caption.left(3); }

// The options of the envelope tab that the option memory restores.
struct TabOptions {
  bool portrait = true;     // O3(0) "纵向打印"
  bool landscape = false;   // O3(1) "横向打印"
  bool ruler = true;        // O2(0) "显示标尺(厘米)"
  bool lock = true;         // O2(1) "锁定格式"
  bool centreFeed = false;  // CHK "进纸器两边向中间收缩"
  bool rotate = false;      // CRotate "旋转180度打印"
  bool guide = true;        // O2(2) "显示标准格线": the standard envelope's printed areas
  bool operator==(const TabOptions&) const = default;
};

class EnvelopeModel : public QObject {
  Q_OBJECT

 public:
  explicit EnvelopeModel(QObject* parent = nullptr);

  // Boxes.
  const Box& box(int index) const { return boxes_.at(index); }
  void SetBoxGeometry(int index, const QRect& twips);
  void SetBoxFont(int index, const common::FontChoice& font);
  void SetBoxText(int index, const QString& text);
  void SetSelected(int index, bool selected);
  bool AnySelected() const;
  void UnselectAll();

  // The "邮政编码" label always stands left of the sender postcode box.
  static constexpr QSize kPostCodeLabelSize{751, 182};
  QRect PostCodeLabelGeometry() const;

  // Sizes. chosenSize() is -1 when no option is chosen (an empty option memory clears them all).
  int chosenSize() const { return chosenSize_; }
  void SetChosenSize(int index);
  const QString& sizeCaption(int index) const { return sizeCaptions_.at(index); }
  void SetSizeCaption(int index, const QString& caption);
  // The custom size boxes T1(0) and T1(1), as typed.
  const QString& customWidthText() const { return customText_[0]; }
  const QString& customHeightText() const { return customText_[1]; }
  void SetCustomSizeText(const QString& width, const QString& height);

  // W and H of the chosen size in mm, read from its caption; 0 when none is chosen.
  double W() const;
  double H() const;

  // The canvas EP in twips. A new canvas size moves and sizes every box with it, so each box
  // keeps its place and size on the envelope.
  QSize canvasSize() const { return canvas_; }
  void SetCanvasSize(const QSize& twips);
  // The canvas at the reference scale, for a W x H envelope; what the batch tool lays out.
  QSize ReferenceCanvas() const;
  // Screen points per font point: the canvas' scale over the reference scale (1 without a size).
  double FontZoom() const;

  // The canvas scale, EP.Width / W twips per mm, halves to even. A zero W maps everything to 0.
  int MmToTwips(double mm) const;
  double TwipsToMm(int twips) const;

  const TabOptions& options() const { return options_; }
  void SetOptions(const TabOptions& options);

  // Announces every box as changed, for changes made while the model's signals were blocked.
  void AnnounceAllBoxes();

 signals:
  void boxChanged(int index);
  void selectionChanged();
  void sizeChanged();    // chosen size, a caption or the custom size text
  void canvasChanged();  // canvas size
  void optionsChanged();

 private:
  void RememberShare(int index);

  std::array<Box, kBoxCount> boxes_;
  // Each box's geometry as a share of the canvas width, unrounded: what a resize scales from,
  // so that resizing back and forth never lets rounding wander.
  std::array<QRectF, kBoxCount> shares_;
  std::array<QString, kSizeCount> sizeCaptions_;
  std::array<QString, 2> customText_;
  int chosenSize_ = kDefaultSize;
  QSize canvas_{9250, 4605};
  TabOptions options_;
};

}  // namespace editor
