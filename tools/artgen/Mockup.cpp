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

QFont Face(int px, bool bold = false) {
  QFont f("DejaVu Sans");
  f.setPixelSize(px);
  f.setBold(bold);
  return f;
}

// Page 3001 with the title and Next/Back, as every later page has it.
QImage PlainFrame(const QMap<QString, QImage>& pics, const char* title, int step) {
  QImage page = pics.value("bmp/3001").convertToFormat(QImage::Format_RGB32);
  QPainter p(&page);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  p.drawImage(QRect(823, 0, 37, 29), pics.value("png/3038"));
  p.drawImage(QRect(786, 0, 37, 29), pics.value("png/3035"));  // minimise hovered
  p.setFont(Face(32));
  p.setPen(pal::kAccent);
  p.drawText(QRect(72, 68, 606, 38), Qt::AlignLeft | Qt::AlignVCenter, title);
  Button(p, pics.value("png/3045"), QRect(448, 536, 100, 43), "Next   >");
  Button(p, pics.value("png/3043"), QRect(310, 536, 100, 43), "<   Back");  // hovered
  for (int i = 0; i < 11; ++i) {
    const QRectF dot(334 + i * 18, 600, 12, 12);
    p.setPen(i < step ? Qt::NoPen : QPen(pal::kGreyC4, 1));
    p.setBrush(i < step ? pal::kGreyC4 : QColor(Qt::white));
    p.drawEllipse(dot.adjusted(0.5, 0.5, -0.5, -0.5));
  }
  p.setFont(Face(14));
  p.setPen(pal::kGreyB5);
  p.drawText(QPoint(770, 614), "V 2.03.00");
  return page;
}

void Header(QPainter& p, const QMap<QString, QImage>& pics, const QRect& r,
            const std::initializer_list<std::pair<int, const char*>>& columns, int helpAfter) {
  p.drawImage(r, pics.value("png/3052"));
  p.setFont(Face(13));
  p.setPen(Qt::white);
  int x = r.left();
  int i = 0;
  for (const auto& [w, text] : columns) {
    const QRect cell(x, r.top(), w, r.height());
    p.drawText(cell, Qt::AlignCenter, text);
    if (i == helpAfter) {
      const int tw = QFontMetrics(Face(13)).horizontalAdvance(text);
      p.drawImage(QRect(cell.center().x() + tw / 2 + 4, r.top() + 5, r.height() - 10, r.height() - 10),
                  pics.value("png/4083"));
    }
    x += w;
    ++i;
  }
}

QImage MockSearchPage(const QMap<QString, QImage>& pics) {
  QImage page = PlainFrame(pics, "Select your NVR device", 5);
  QPainter p(&page);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  p.setFont(Face(14));
  p.setPen(pal::kGrey636);
  p.drawText(QRect(72, 122, 708, 60), Qt::TextWordWrap,
             "Select your NVR from the list, then click \"Next\". If you have multiple NVRs, you can identify "
             "them by the MAC ID printed on the lable on the bottom of the device.");
  // Rescan, right-aligned to x 782.
  const QRect rescan(782 - 100, 200, 100, 30);
  p.drawImage(rescan, pics.value("png/4016"));
  p.drawImage(QRect(rescan.left() + 12, rescan.top() + 6, 18, 18), pics.value("png/3055"));
  p.setFont(Face(14));
  p.setPen(Qt::white);
  p.drawText(rescan.adjusted(30, 0, 0, 0), Qt::AlignCenter, "Rescan");
  // The list: header, two rows with radio marks.
  Header(p, pics, QRect(80, 240, 688, 32), {{60, ""}, {40, ""}, {25, ""}, {40, "No."}, {30, ""}, {200, "IP Address"},
                                            {20, ""}, {210, "Mac Address"}}, 7);
  p.fillRect(QRect(80, 272, 688, 188), Qt::white);
  const char* rows[][2] = {{"127.0.0.21", "00:12:ab:34:cd:56"}, {"127.0.0.22", "00:12:ab:34:cd:57"}};
  for (int r = 0; r < 2; ++r) {
    const int y = 272 + r * 44;
    p.drawImage(QRect(140 + 8, y + 10, 25, 25), pics.value(r == 0 ? "png/4013" : "png/4082"));
    p.setFont(Face(17));
    p.setPen(QColor(0x60, 0x60, 0x60));
    p.drawText(QRect(80 + 165 + 9, y, 40, 44), Qt::AlignVCenter, QString::number(r + 1));
    p.drawText(QRect(80 + 195 + 28, y, 200, 44), Qt::AlignVCenter, rows[r][0]);
    p.drawText(QRect(80 + 415 + 16, y, 210, 44), Qt::AlignVCenter, rows[r][1]);
    p.fillRect(QRect(80, y + 43, 688, 1), QColor(0xEE, 0xEE, 0xEE));
  }
  p.drawImage(QRect(80, 474, 22, 22), pics.value("png/4012"));
  p.setFont(Face(14));
  p.setPen(pal::kAccent);
  p.drawText(QPoint(108, 491), "Can not find your NVR");
  return page;
}

QImage MockCameraPage(const QMap<QString, QImage>& pics) {
  QImage page = PlainFrame(pics, "Add your cameras", 6);
  QPainter p(&page);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  Header(p, pics, QRect(80, 220, 674, 32), {{40, ""}, {40, ""}, {50, "No."}, {230, "Model Name"}, {150, "IP Address"},
                                            {40, ""}, {124, ""}}, -1);
  p.fillRect(QRect(80, 252, 688, 193), Qt::white);
  for (int r = 0; r < 5; ++r) {
    const int y = 252 + r * 32;
    p.drawImage(QRect(80 + 45, y + 4, 30, 25), pics.value(r < 2 ? "png/4009" : "png/4010"));
    p.setFont(Face(14));
    p.setPen(Qt::black);
    p.drawText(QRect(80 + 80, y, 50, 32), Qt::AlignCenter, QString::number(r + 1));
    p.drawText(QRect(80 + 140, y, 230, 32), Qt::AlignVCenter, "IPCAM-1080");
    p.drawText(QRect(80 + 360, y, 150, 32), Qt::AlignCenter, QString("127.0.0.%1").arg(31 + r));
    if (r < 2) p.drawImage(QRect(80 + 520, y + 9, 20, 15), pics.value("png/4011"));
  }
  // Scroll bar with its thumb.
  p.fillRect(QRect(754, 220, 14, 225), Qt::white);
  p.drawImage(QRect(754, 252, 14, 32), pics.value("png/3053"));
  return page;
}

QImage MockAlert(const QMap<QString, QImage>& pics) {
  QImage page = PlainFrame(pics, "Setup HDD for NVR", 8);
  QPainter p(&page);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  p.drawImage(QRect(190, 230, 480, 200), pics.value("png/4086"));
  p.fillRect(page.rect(), QColor(0, 0, 0, 153));
  const QRect box(210, 200, 440, 240);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawRoundedRect(box, 6, 6);
  p.drawImage(QRect(box.left() + 54, box.top() + 38, 36, 36), pics.value("png/3059"));
  p.drawImage(QRect(box.left() + 416, box.top() + 10, 14, 14), pics.value("png/3060"));
  p.setFont(Face(18));
  p.setPen(QColor(77, 77, 77));
  p.drawText(QRect(box.left() + 104, box.top() + 38, 320, 36), Qt::AlignVCenter, "Important Alert");
  p.setFont(Face(14));
  p.drawText(QRect(box.left() + 54, box.top() + 90, 340, 60), Qt::TextWordWrap,
             "Formatting will permanently erase all data on your hard drive(s).");
  Button(p, pics.value("png/3042"), QRect(box.left() + 87, box.top() + 170, 118, 43), "OK");
  Button(p, pics.value("png/3044"), QRect(box.left() + 235, box.top() + 170, 118, 43), "CANCEL");  // pressed
  return page;
}

QImage MockWaiting(const QMap<QString, QImage>& pics) {
  QImage page = PlainFrame(pics, "Setup HDD for NVR", 8);
  QPainter p(&page);
  p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
  p.fillRect(page.rect(), QColor(0, 0, 0, 180));
  p.drawImage(QRect(398, 260, 64, 64), pics.value("png/4063"));
  p.setFont(Face(16));
  p.setPen(Qt::white);
  p.drawText(QRect(0, 336, 860, 30), Qt::AlignCenter, "Formatting your HDD...");
  // The searching animation, as the search page shows it over its list.
  p.drawImage(QRect(40, 440, 160, 160), pics.value("png/4077"));
  return page;
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
  out.insert("search", MockSearchPage(pics));
  out.insert("cameras", MockCameraPage(pics));
  out.insert("popup-alert", MockAlert(pics));
  out.insert("waiting", MockWaiting(pics));
  return out;
}

}  // namespace art
