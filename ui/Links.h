#pragma once
// Text links. CLinkStatic and CLinkStatic2 open an overlay: a click posts WM_WIZ_LINK with their kind to the
// page (CLinkStatic anywhere on it, CLinkStatic2 only on its text or icon). CHyperLink is an inline link that
// posts WM_WIZ_TITLE_CLICK when clicked while hovered. All are reachable with Tab and act on Space.

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include "ui/Fonts.h"
#include "ui/SkinBase.h"

namespace vrx::ui {

class CLinkStatic : public QWidget, public ControlIdentity {
  Q_OBJECT
 public:
  explicit CLinkStatic(QWidget* parent = nullptr, int id = 0);
  void setText(const QString& text);
  QString text() const { return text_; }
  bool SetIcon(int pngId);
  void setLinkKind(int kind) { kind_ = kind; }
  int linkKind() const { return kind_; }
  void setTextColor(const QColor& c);
  void setTextSize(int px);
  // Where the icon and the text are drawn (widget coordinates).
  QRectF IconRect() const;
  QRectF TextRect() const;
  QSize sizeHint() const override;

 signals:
  void command(int id);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void leaveEvent(QEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  virtual bool hitsLink(const QPointF& pos) const;
  void activate();
  QFont linkFont() const;

 private:
  QString text_;
  QPixmap icon_;
  int kind_ = 0;
  QColor color_{42, 169, 209};
  int size_ = 14;
  bool hot_ = false;
};

class CLinkStatic2 : public CLinkStatic {
  Q_OBJECT
 public:
  using CLinkStatic::CLinkStatic;

 protected:
  bool hitsLink(const QPointF& pos) const override;
};

class CHyperLink : public QWidget, public ControlIdentity {
  Q_OBJECT
 public:
  explicit CHyperLink(QWidget* parent = nullptr, int id = 0);
  void setText(const QString& text);
  QString text() const { return text_; }
  void setTextColor(const QColor& c);
  void setTextSize(int px);
  bool hovered() const { return hovered_; }
  QSize sizeHint() const override;

 signals:
  void command(int id);

 protected:
  void paintEvent(QPaintEvent*) override;
  void enterEvent(QEnterEvent*) override;
  void leaveEvent(QEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void keyPressEvent(QKeyEvent*) override;

 private:
  void activate();
  QString text_;
  QColor color_{42, 169, 209};
  int size_ = 14;
  bool hovered_ = false;
};

}  // namespace vrx::ui
