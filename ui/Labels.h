#pragma once
// Text labels, pictures, panels, the page indicator and the searching animation. None takes input except
// CTitleStatic (a click posts WM_WIZ_TITLE_CLICK). Labels are transparent: the page's background shows around the text.

#include <QBasicTimer>
#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <array>
#include <memory>

class QTextDocument;
#include <vector>

#include "ui/Fonts.h"
#include "ui/SkinBase.h"

namespace vrx::ui {

// Single-line label; text wider than the label ends in "...".
class CAvrelStatic : public QWidget, public ControlIdentity {
  Q_OBJECT
 public:
  explicit CAvrelStatic(QWidget* parent = nullptr, int id = 0);
  void setText(const QString& text);
  QString text() const { return text_; }
  void setTextColor(const QColor& c);
  void setTextSize(int px);
  void setFontFace(Face face);  // Verdana (default) or Tahoma
  void setBold(bool on);
  void setAlignment(Qt::Alignment a);
  // Width of the text followed by "..." in the label's font.
  int MeasureText() const;
  QFont labelFont() const;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QString text_;
  QColor color_{0x63, 0x65, 0x66};
  int size_ = 14;
  Face face_ = Face::Verdana;
  bool bold_ = false;
  Qt::Alignment align_ = Qt::AlignLeft | Qt::AlignVCenter;
};

// The same label; the parent's background under it is kept by the window system.
class CAvrelStatic2 : public CAvrelStatic {
  Q_OBJECT
 public:
  using CAvrelStatic::CAvrelStatic;
};

// Multi-line label with bold runs ("<br>bold</br>"), an optional prefix mark, caption and background fill.
class CBaseStatic : public QWidget, public ControlIdentity {
  Q_OBJECT
 public:
  explicit CBaseStatic(QWidget* parent = nullptr, int id = 0);
  void setText(const QString& markup);
  QString text() const { return markup_; }
  void setTextColor(const QColor& c);
  void setTextSize(int px);
  void setFontFace(Face face);
  void setPrefixMark(const QString& mark, const QColor& color);  // e.g. a red "*"
  void setCaption(const QString& caption, const QColor& color);  // drawn before the text
  void setFill(const QColor& color, int margin);                 // invalid colour: no fill
  void setEastAsianBreaking(bool on);                            // Chinese: break between any characters
  bool eastAsianBreaking() const { return eastAsian_; }
  void setAlignment(Qt::Alignment a);
  // Height the text needs at the given width (fill margins included).
  int TextHeight(int width) const;
  int heightForWidth(int w) const override { return TextHeight(w); }
  bool hasHeightForWidth() const override { return true; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  // The text laid out for width w (the fill's margin already taken off).
  std::unique_ptr<QTextDocument> buildDocument(qreal width) const;

  QString markup_;
  QColor color_{0x63, 0x65, 0x66};
  int size_ = 14;
  Face face_ = Face::Verdana;
  QString prefix_;
  QColor prefixColor_;
  QString caption_;
  QColor captionColor_;
  QColor fill_;
  int margin_ = 0;
  bool eastAsian_ = false;
  Qt::Alignment align_ = Qt::AlignLeft;
};

class CBaseStatic2 : public CBaseStatic {
  Q_OBJECT
 public:
  using CBaseStatic::CBaseStatic;
};

// Multi-line message text of the error popups and the password page.
class CErrorStatic : public CBaseStatic {
  Q_OBJECT
 public:
  explicit CErrorStatic(QWidget* parent = nullptr, int id = 0);
};

// A title that reports a click to its page (WM_WIZ_TITLE_CLICK).
class CTitleStatic : public CAvrelStatic {
  Q_OBJECT
 public:
  explicit CTitleStatic(QWidget* parent = nullptr, int id = 0);

 protected:
  void mousePressEvent(QMouseEvent*) override;
};

// Rounded rectangle outline (and optional fill).
class CRectStatic : public QWidget, public ControlIdentity {
  Q_OBJECT
 public:
  explicit CRectStatic(QWidget* parent = nullptr, int id = 0);
  void setBorder(const QColor& c, int width = 1, int corner = 3);
  void setFill(const QColor& c);

 protected:
  void paintEvent(QPaintEvent*) override;
  QColor border_{0xC0, 0xC0, 0xC0};
  QColor fill_;
  int penWidth_ = 1;
  int corner_ = 3;
};

// Background panel (white by default) behind entry fields and notes.
class CRoundBack : public CRectStatic {
  Q_OBJECT
 public:
  explicit CRoundBack(QWidget* parent = nullptr, int id = 0);
};

// A picture scaled into the box.
class CImageBox : public QWidget, public ControlIdentity {
  Q_OBJECT
 public:
  explicit CImageBox(QWidget* parent = nullptr, int id = 0);
  bool SetImage(int pngId);
  void setPixmap(const QPixmap& pixmap);
  const QPixmap& pixmap() const { return image_; }
  QSize sizeHint() const override { return image_.isNull() ? QSize(16, 16) : image_.size(); }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QPixmap image_;
};

// Several pictures loaded by the box itself; shows the one picked by index.
class CGroupImageBox : public CImageBox {
  Q_OBJECT
 public:
  using CImageBox::CImageBox;
  void SetImages(const std::vector<int>& pngIds);
  void setCurrent(int index);
  int current() const { return current_; }

 private:
  std::vector<QPixmap> images_;
  int current_ = -1;
};

// A row of dots: the first `current` filled grey, the rest white with a grey ring.
class CPageIndicator : public QWidget, public ControlIdentity {
  Q_OBJECT
 public:
  explicit CPageIndicator(QWidget* parent = nullptr, int id = 0);
  void setCurrent(int current);
  void setTotal(int total);
  void setGap(int gap);
  void setRadius(int radius);
  int current() const { return current_; }
  int total() const { return total_; }
  // Circle i (0-based): its box and whether it is filled.
  QRectF DotRect(int i) const;
  bool DotFilled(int i) const { return i < current_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  int current_ = 1;
  int total_ = 5;
  int gap_ = 6;
  int radius_ = 6;
};

// The searching animation: eight frames (PNG 4074-4081) and a caption under them.
class CLoadingStatic : public QWidget, public ControlIdentity {
  Q_OBJECT
 public:
  static constexpr int kFrames = 8;
  static constexpr int kFirstFrameId = 4074;
  static constexpr int kPeriodMs = 200;

  explicit CLoadingStatic(QWidget* parent = nullptr, int id = 0);
  void setText(const QString& caption);
  void setTextColor(const QColor& c);
  void setTextSize(int px);
  // The animation stops on the tick after the index reached lastFrame; -1 runs until Stop.
  void setLastFrame(int lastFrame) { lastFrame_ = lastFrame; }
  void Start();
  void Stop();
  bool running() const { return timer_.isActive(); }
  int frameIndex() const { return index_; }
  QSize sizeHint() const override { return {200, 200}; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void timerEvent(QTimerEvent*) override;

 private:
  std::array<QPixmap, kFrames> frames_;
  QBasicTimer timer_;
  int index_ = 0;
  int lastFrame_ = -1;
  QString caption_;
  QColor color_{42, 169, 209};
  int size_ = 14;
};

}  // namespace vrx::ui
