// The anchor of the start-up figures: the smallest Qt Widgets program that shows an 860 x 640 frameless
// dialog modally, as the wizard shows its page host. With VRX_EXIT_AFTER_FIRST_PAINT=1 it reports its first
// paint and peak memory exactly as the wizard does, then ends.
#include <QApplication>
#include <QDialog>
#include <memory>

#include "platform/FirstPaint.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QDialog window(nullptr, Qt::Window | Qt::FramelessWindowHint);
  window.setWindowTitle(QStringLiteral("Setup Wizard"));
  window.setFixedSize(860, 640);
  std::unique_ptr<vrx::FirstPaintWatch> watch;
  if (vrx::FirstPaintWatch::Requested())
    watch = std::make_unique<vrx::FirstPaintWatch>([&](QWidget* w) { return w == &window; }, [&] { window.reject(); });
  window.exec();
  return 0;
}
