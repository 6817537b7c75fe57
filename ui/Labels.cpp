#include "ui/Labels.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimerEvent>

#include "ui/Palette.h"
#include "ui/Pictures.h"
#include "ui/Text.h"

namespace vrx::ui {
namespace {

void Smooth(QPainter& p) {
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

}  // namespace

// ---- CAvrelStatic ----

CAvrelStatic::CAvrelStatic(QWidget* parent, int id) : QWidget(parent) {
  setControlId(id);
  SetAccessible(this, QAccessible::StaticText, QString());
}

void CAvrelStatic::setText(const QString& text) {
  text_ = text;
  setAccessibleName(text);
  updateGeometry();
  update();
}

void CAvrelStatic::setTextColor(const QColor& c) { SetLook(this, color_, c); }

void CAvrelStatic::setTextSize(int px) { SetLook(this, size_, px, Affects::Size); }

void CAvrelStatic::setFontFace(Face face) { SetLook(this, face_, face, Affects::Size); }

void CAvrelStatic::setBold(bool on) { SetLook(this, bold_, on, Affects::Size); }

void CAvrelStatic::setAlignment(Qt::Alignment a) { SetLook(this, align_, a); }

QFont CAvrelStatic::labelFont() const { return UiFont(face_, size_, bold_); }

int CAvrelStatic::MeasureText() const {
  return qCeil(QFontMetricsF(labelFont()).horizontalAdvance(text_ + QStringLiteral("...")));
}

QSize CAvrelStatic::sizeHint() const {
  const QFontMetricsF fm(labelFont());
  return {qCeil(fm.horizontalAdvance(text_)) + 2, qCeil(fm.height()) + 2};
}

void CAvrelStatic::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Smooth(p);
  p.setFont(labelFont());
  p.setPen(color_);
  const QFontMetricsF fm(labelFont());
  const QString shown = fm.elidedText(text_, Qt::ElideRight, width());
  p.drawText(rect(), static_cast<int>(align_) | Qt::TextSingleLine, shown);
}

// ---- CBaseStatic ----

CBaseStatic::CBaseStatic(QWidget* parent, int id) : QWidget(parent) {
  setControlId(id);
  SetAccessible(this, QAccessible::StaticText, QString());
}

void CBaseStatic::setText(const QString& markup) {
  markup_ = markup;
  QString plain;
  for (const Run& r : BoldRuns(markup)) plain += r.text;
  // "Note:" and "Important:" are read with their text.
  setAccessibleName(caption_.isEmpty() ? plain : caption_.trimmed() + QLatin1Char(' ') + plain);
  updateGeometry();
  update();
}

void CBaseStatic::setTextColor(const QColor& c) { SetLook(this, color_, c); }

void CBaseStatic::setTextSize(int px) { SetLook(this, size_, px, Affects::Size); }

void CBaseStatic::setFontFace(Face face) { SetLook(this, face_, face, Affects::Size); }

void CBaseStatic::setPrefixMark(const QString& mark, const QColor& color) {
  prefix_ = mark;
  prefixColor_ = color;
  update();
}

void CBaseStatic::setCaption(const QString& caption, const QColor& color) {
  caption_ = caption;
  captionColor_ = color;
  setText(markup_);
}

void CBaseStatic::setFill(const QColor& color, int margin) {
  fill_ = color;
  margin_ = margin;
  update();
}

void CBaseStatic::setEastAsianBreaking(bool on) { SetLook(this, eastAsian_, on); }

void CBaseStatic::setAlignment(Qt::Alignment a) { SetLook(this, align_, a); }

std::unique_ptr<QTextDocument> CBaseStatic::buildDocument(qreal width) const {
  auto doc = std::make_unique<QTextDocument>();
  doc->setDocumentMargin(0);
  doc->setDefaultFont(UiFont(face_, size_));
  QTextOption option = doc->defaultTextOption();
  option.setWrapMode(eastAsian_ ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::WordWrap);
  option.setAlignment(align_ & Qt::AlignHorizontal_Mask);
  doc->setDefaultTextOption(option);
  doc->setTextWidth(qMax<qreal>(1, width));

  QTextCursor cursor(doc.get());
  QTextBlockFormat block;
  block.setLineHeight(120, QTextBlockFormat::ProportionalHeight);
  block.setAlignment(align_ & Qt::AlignHorizontal_Mask);
  cursor.setBlockFormat(block);
  auto format = [this](const QColor& color, bool bold) {
    QTextCharFormat f;
    f.setFont(UiFont(face_, size_, bold));
    f.setForeground(color);
    return f;
  };
  if (!prefix_.isEmpty()) cursor.insertText(prefix_, format(prefixColor_, false));
  if (!caption_.isEmpty()) cursor.insertText(caption_ + QLatin1Char(' '), format(captionColor_, true));
  for (const Run& run : BoldRuns(markup_)) cursor.insertText(run.text, format(color_, run.bold));
  return doc;
}

int CBaseStatic::TextHeight(int width) const {
  auto doc = buildDocument(width - 2 * margin_);
  return qCeil(doc->size().height()) + 2 * margin_;
}

void CBaseStatic::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Smooth(p);
  if (fill_.isValid()) {
    p.setPen(Qt::NoPen);
    p.setBrush(fill_);
    p.drawRoundedRect(QRectF(rect()), 3, 3);
  }
  auto doc = buildDocument(width() - 2 * margin_);
  qreal top = margin_;
  const qreal textHeight = doc->size().height();
  if (align_ & Qt::AlignVCenter) top = (height() - textHeight) / 2;
  if (align_ & Qt::AlignBottom) top = height() - margin_ - textHeight;
  p.translate(margin_, top);
  QAbstractTextDocumentLayout::PaintContext ctx;
  ctx.palette.setColor(QPalette::Text, color_);
  doc->documentLayout()->draw(&p, ctx);
}

CErrorStatic::CErrorStatic(QWidget* parent, int id) : CBaseStatic(parent, id) {
  setTextColor(palette::kErrorText);
  setFontFace(Face::Verdana);
}

// ---- CTitleStatic ----

CTitleStatic::CTitleStatic(QWidget* parent, int id) : CAvrelStatic(parent, id) {}

void CTitleStatic::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) postToPage(this, WM_WIZ_TITLE_CLICK, static_cast<WPARAM>(controlId()));
  CAvrelStatic::mousePressEvent(e);
}

// ---- CRectStatic, CRoundBack ----

CRectStatic::CRectStatic(QWidget* parent, int id) : QWidget(parent) { setControlId(id); }

void CRectStatic::setBorder(const QColor& c, int width, int corner) {
  border_ = c;
  penWidth_ = width;
  corner_ = corner;
  update();
}

void CRectStatic::setFill(const QColor& c) { SetLook(this, fill_, c); }

void CRectStatic::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Smooth(p);
  const qreal half = penWidth_ / 2.0;
  p.setPen(penWidth_ > 0 ? QPen(border_, penWidth_) : QPen(Qt::NoPen));
  p.setBrush(fill_.isValid() ? QBrush(fill_) : QBrush(Qt::NoBrush));
  p.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), corner_, corner_);
}

CRoundBack::CRoundBack(QWidget* parent, int id) : CRectStatic(parent, id) { fill_ = Qt::white; }

// ---- CImageBox, CGroupImageBox ----

CImageBox::CImageBox(QWidget* parent, int id) : QWidget(parent) {
  setControlId(id);
  SetAccessible(this, QAccessible::Graphic, QString());
}

bool CImageBox::SetImage(int pngId) {
  setPixmap(LoadPng(pngId));
  return !image_.isNull();
}

void CImageBox::setPixmap(const QPixmap& pixmap) {
  image_ = pixmap;
  update();
}

void CImageBox::paintEvent(QPaintEvent*) {
  if (image_.isNull()) return;
  QPainter p(this);
  Smooth(p);
  p.drawPixmap(rect(), image_);
}

void CGroupImageBox::SetImages(const std::vector<int>& pngIds) {
  images_.clear();
  for (int id : pngIds) images_.push_back(LoadPng(id));
  setCurrent(images_.empty() ? -1 : 0);
}

void CGroupImageBox::setCurrent(int index) {
  current_ = index;
  const bool valid = index >= 0 && index < static_cast<int>(images_.size());
  setPixmap(valid ? images_[static_cast<size_t>(index)] : QPixmap());
}

// ---- CPageIndicator ----

CPageIndicator::CPageIndicator(QWidget* parent, int id) : QWidget(parent) {
  setControlId(id);
  SetAccessible(this, QAccessible::ProgressBar, QString());
}

void CPageIndicator::setCurrent(int current) {
  current_ = current;
  setAccessibleName(QStringLiteral("%1 / %2").arg(current_).arg(total_));
  update();
}

void CPageIndicator::setTotal(int total) {
  total_ = total;
  setAccessibleName(QStringLiteral("%1 / %2").arg(current_).arg(total_));
  updateGeometry();
  update();
}

void CPageIndicator::setGap(int gap) { SetLook(this, gap_, gap, Affects::Size); }

void CPageIndicator::setRadius(int radius) { SetLook(this, radius_, radius, Affects::Size); }

QRectF CPageIndicator::DotRect(int i) const {
  return QRectF(i * (gap_ + 2 * radius_), 0, 2 * radius_, 2 * radius_);
}

QSize CPageIndicator::sizeHint() const {
  return {total_ * (gap_ + 2 * radius_) - gap_ + 1, 2 * radius_ + 1};
}

void CPageIndicator::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Smooth(p);
  for (int i = 0; i < total_; ++i) {
    const QRectF r = DotRect(i).adjusted(0.5, 0.5, -0.5, -0.5);
    if (DotFilled(i)) {
      p.setPen(QPen(palette::kIndicatorGrey, 1));
      p.setBrush(palette::kIndicatorGrey);
    } else {
      p.setPen(QPen(palette::kIndicatorGrey, 1));
      p.setBrush(Qt::white);
    }
    p.drawEllipse(r);
  }
}

// ---- CLoadingStatic ----

CLoadingStatic::CLoadingStatic(QWidget* parent, int id) : QWidget(parent) {
  setControlId(id);
  for (int i = 0; i < kFrames; ++i) frames_[static_cast<size_t>(i)] = LoadPng(kFirstFrameId + i);
  SetAccessible(this, QAccessible::Animation, QString());
}

void CLoadingStatic::setText(const QString& caption) {
  caption_ = caption;
  setAccessibleName(caption);
  update();
}

void CLoadingStatic::setTextColor(const QColor& c) { SetLook(this, color_, c); }

void CLoadingStatic::setTextSize(int px) { SetLook(this, size_, px, Affects::Size); }

void CLoadingStatic::Start() {
  index_ = 0;
  timer_.start(kPeriodMs, this);
  update();
}

void CLoadingStatic::Stop() { timer_.stop(); }

void CLoadingStatic::timerEvent(QTimerEvent* e) {
  if (e->timerId() != timer_.timerId()) return QWidget::timerEvent(e);
  if (lastFrame_ >= 0 && index_ >= lastFrame_) {
    timer_.stop();
    return;
  }
  ++index_;
  update();
}

void CLoadingStatic::paintEvent(QPaintEvent*) {
  QPainter p(this);
  Smooth(p);
  const QFont font = UiFont(Face::Verdana, size_);
  const qreal captionHeight = caption_.isEmpty() ? 0 : QFontMetricsF(font).height() + 8;
  const qreal side = qMin<qreal>(width(), height() - captionHeight);
  const QRectF pictureBox((width() - side) / 2, 0, side, side);
  const QPixmap& frame = frames_[static_cast<size_t>(index_ % kFrames)];
  if (!frame.isNull()) p.drawPixmap(pictureBox, frame, frame.rect());
  if (!caption_.isEmpty()) {
    p.setFont(font);
    p.setPen(color_);
    p.drawText(QRectF(0, side + 8, width(), captionHeight), Qt::AlignHCenter | Qt::AlignTop, caption_);
  }
}

}  // namespace vrx::ui
