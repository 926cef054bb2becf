#include "editor/ui/envelope_canvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "editor/editor_texts.h"
#include "editor/envelope_guide.h"
#include "editor/ruler.h"
#include "editor/window_layout.h"

namespace editor {
namespace {

QPoint ToTwips(QPointF pixels) {
  return {PixelsToTwips(pixels.toPoint().x()), PixelsToTwips(pixels.toPoint().y())};
}

}  // namespace

EnvelopeCanvas::EnvelopeCanvas(EnvelopeModel& model, QWidget* parent) : QWidget(parent), model_(model) {
  setObjectName(QStringLiteral("EP"));
  setAutoFillBackground(false);
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
  for (int i = 0; i < kBoxCount; ++i) {
    boxes_[i] = new BoxWidget(i, model_, this);
    connect(boxes_[i], &BoxWidget::keyPressed, this, &EnvelopeCanvas::editKey);
  }
  postCode_ = new QLabel(kPostCodeCaption, this);
  postCode_->setObjectName(QStringLiteral("PostCode"));
  common::FontChoice labelFont;
  labelFont.name = QStringLiteral("宋体");
  labelFont.size = 9;
  postCode_->setFont(ScreenFont(labelFont));
  PlacePostCodeLabel();

  connect(&model_, &EnvelopeModel::boxChanged, this, [this](int index) {
    if (index == kSenderPostcodeBox) PlacePostCodeLabel();
  });
  connect(&model_, &EnvelopeModel::optionsChanged, this, &EnvelopeCanvas::DrawRuler);
  connect(&model_, &EnvelopeModel::sizeChanged, this, &EnvelopeCanvas::DrawRuler);
  connect(&model_, &EnvelopeModel::canvasChanged, this, &EnvelopeCanvas::DrawRuler);
}

void EnvelopeCanvas::PlacePostCodeLabel() {
  postCode_->setGeometry(TwipsToPixels(model_.PostCodeLabelGeometry()));
}

void EnvelopeCanvas::DrawRuler() { update(); }

void EnvelopeCanvas::SetOutline(std::optional<QRect> twips) {
  if (outline_ == twips) return;
  outline_ = twips;
  update();
}

void EnvelopeCanvas::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (model_.options().ruler) PaintRuler(painter, model_.canvasSize(), model_.W());
  if (model_.options().guide)
    PaintEnvelopeGuide(painter, model_.canvasSize().width(), model_.W(), model_.H());
  if (outline_) {
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(TwipsToPixels(outline_->normalized()));
  }
}

void EnvelopeCanvas::resizeEvent(QResizeEvent* event) {
  // The model's canvas is whole pixels, as a picture box measured in twips is.
  model_.SetCanvasSize({PixelsToTwips(width()), PixelsToTwips(height())});
  QWidget::resizeEvent(event);
}

void EnvelopeCanvas::mousePressEvent(QMouseEvent* event) {
  emit pointerPressed(ToTwips(event->position()), event->button(), event->modifiers());
}

void EnvelopeCanvas::mouseMoveEvent(QMouseEvent* event) {
  emit pointerMoved(ToTwips(event->position()), event->buttons());
}

void EnvelopeCanvas::mouseReleaseEvent(QMouseEvent* event) {
  emit pointerReleased(ToTwips(event->position()), event->button());
}

void EnvelopeCanvas::keyPressEvent(QKeyEvent* event) {
  // A box passes on the keys it does not use; it has reported them already.
  if (hasFocus()) emit editKey(event->key(), event->modifiers());
  QWidget::keyPressEvent(event);
}

}  // namespace editor
