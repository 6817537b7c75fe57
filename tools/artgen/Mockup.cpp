#include "Mockup.h"

#include "Art.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace art {

namespace {

struct MockPage {
  const char* name;
  int background;
  int step;  // 0 = no step dots and no Next/Back
  const char* title;
  const char* body;
};

const MockPage kPages[] = {
    {"welcome", 3000, 0, "", ""},
    {"requirements", 3008, 1, "Requirements",
     "You will need a router with one free Ethernet port, and up to two USB hard drives to continue the "
     "installation process"},
    {"power", 3002, 2, "Connect your device", "Connect your VRX-410Q power adapter to a power outlet."},
    {"network", 3003, 3, "Connect your device",
     "Connect your ethernet cable to your VRX-410Q and router's LAN port."},
    {"led", 3004, 4, "Connect your device", "After the LED on the top of the VRX-410Q turns blue, click Next."},
    {"plain", 3001, 5, "Select your NVR device",
     "Select your NVR from the list, then click \"Next\". If you have multiple NVRs, you can identify them by "
     "the MAC ID printed on the lable on the bottom of the device."},
};

void Button(QPainter& p, const QImage& img, const QRect& r, const QString& text) {
  p.drawImage(r, img);
  QFont f("Liberation Sans");
  f.setPixelSize(14);
  p.setFont(f);
  p.setPen(Qt::white);
  p.drawText(r, Qt::AlignCenter, text);
}

}  // namespace

QMap<QString, QImage> MockPages(const QMap<QString, QImage>& pics) {
  QMap<QString, QImage> out;
  for (const MockPage& m : kPages) {
    QImage page = pics.value(QStringLiteral("bmp/%1").arg(m.background)).convertToFormat(QImage::Format_RGB32);
    if (page.isNull()) continue;
    QPainter p(&page);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(823, 0, 37, 29), pics.value("png/3038"));
    p.drawImage(QRect(786, 0, 37, 29), pics.value("png/3034"));
    QFont small("DejaVu Sans");
    small.setPixelSize(14);
    p.setFont(small);
    p.setPen(pal::kGreyB5);
    p.drawText(QPoint(770, 614), "V 2.03.00");
    if (m.step == 0) {  // the welcome page: texts, language list and START in the right column
      p.setPen(pal::kGrey636);
      p.drawText(QRect(366, 150, 416, 100), Qt::TextWordWrap,
                 "Welcome to the Halvik NVR (VRX-410Q) Setup Wizard. This wizard will guide you through the "
                 "setup of your Halvik NVR device.");
      p.drawText(QRect(366, 290, 180, 32), Qt::AlignVCenter, "Select your Language:");
      p.setPen(QPen(QColor(230, 230, 230), 1));
      p.setBrush(Qt::white);
      p.drawRoundedRect(QRectF(552.5, 290.5, 188, 32), 3, 3);
      p.setPen(QColor(100, 100, 100));
      p.drawText(QRect(552, 290, 188, 32), Qt::AlignCenter, "English");
      Button(p, pics.value("png/3030"), QRect(366, 380, 416, 42), "START");
      p.fillRect(QRect(72, 480, 716, 60), QColor(0xE6, 0xE6, 0xE6));
      p.setPen(pal::kGrey555);
      p.drawText(QRect(88, 480, 690, 60), Qt::AlignVCenter | Qt::TextWordWrap,
                 "* Note: Ensure that cameras have been installed on the network before initiating the "
                 "VRX-410Q Setup wizard.");
    } else {
      QFont title("DejaVu Sans");
      title.setPixelSize(32);
      p.setFont(title);
      p.setPen(pal::kAccent);
      p.drawText(QRect(72, 68, 606, 38), Qt::AlignLeft | Qt::AlignVCenter, m.title);
      p.setFont(small);
      p.setPen(pal::kGrey484);
      p.drawText(QRect(72, 122, 708, 80), Qt::TextWordWrap, m.body);
      const QString next = "Next   >", back = "<   Back";
      const int w = QFontMetrics(small).horizontalAdvance(back) + 40;
      Button(p, pics.value("png/3042"), QRect(448, 536, w, 43), next);
      Button(p, pics.value("png/3042"), QRect(410 - w, 536, w, 43), back);
      for (int i = 0; i < 11; ++i) {  // step dots, placed where a page would likely put them
        const QRectF dot(334 + i * 18, 600, 12, 12);
        p.setPen(i < m.step ? Qt::NoPen : QPen(pal::kGreyC4, 1));
        p.setBrush(i < m.step ? pal::kGreyC4 : QColor(Qt::white));
        p.drawEllipse(dot.adjusted(0.5, 0.5, -0.5, -0.5));
      }
      if (m.background == 3004) {
        p.drawImage(QRect(72, 470, 48, 48), pics.value("png/3059"));
        p.setPen(pal::kAccent);
        p.drawText(QPoint(130, 499), "What should I do if the LED light stays red ?");
      }
    }
    out.insert(m.name, page);
  }
  // The MAC label popup: the popup writes the label's lines over the picture.
  QImage mac(540, 340, QImage::Format_RGB32);
  mac.fill(Qt::white);
  {
    QPainter p(&mac);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    p.drawImage(QRect(511, 15, 14, 14), pics.value("png/3060"));
    QFont f("DejaVu Sans");
    f.setPixelSize(15);
    p.setFont(f);
    p.setPen(pal::kGrey636);
    p.drawText(QRect(90, 30, 450, 24), Qt::AlignLeft | Qt::AlignTop, "The MAC Address is on the back of your NVR.");
    p.drawImage(QRect(90, 60, 388, 224), pics.value("png/4019"));
    f.setPixelSize(13);
    p.setFont(f);
    p.setPen(QColor(0x30, 0x30, 0x30));
    const std::pair<QPoint, const char*> lines[] = {{{178, 129}, "VRX-410Q"},
                                                   {{178, 147}, "P/N: VRX410QQ....A1"},
                                                   {{178, 163}, "S/N: xxxxxxxxxxxx"},
                                                   {{178, 195}, "MAC: 0012AB34CD56"}};
    for (const auto& [at, text] : lines) p.drawText(QRect(at, QSize(200, 16)), Qt::AlignLeft | Qt::AlignTop, text);
  }
  out.insert("popup-maclabel", mac);
  return out;
}

}  // namespace art
