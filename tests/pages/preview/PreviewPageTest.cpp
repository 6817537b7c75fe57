// The live preview popup against the simulated cameras: what it shows, where it fetches from, how it retries
// and how quickly it lets go of a camera that stalls.
#include <httplib.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPointer>
#include <QTest>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "PopupWatch.h"
#include "SimProcess.h"
#include "WizardTestSupport.h"
#include "i18n/LangString.h"
#include "i18n/LanguageTable.h"
#include "pages/preview/PreviewJob.h"
#include "pages/preview/PreviewPage.h"
#include "platform/SessionLog.h"
#include "ui/Buttons.h"
#include "ui/Overlay.h"

using namespace vrx;

namespace {

QString Fixture(const char* name) {
  return qEnvironmentVariable("VRX_SOURCE_DIR") + "/tests/pages/preview/fixtures/" + name;
}

bool Near(QRgb a, QRgb b) {
  return std::abs(qRed(a) - qRed(b)) < 24 && std::abs(qGreen(a) - qGreen(b)) < 24 && std::abs(qBlue(a) - qBlue(b)) < 24;
}

// Share of the picture's pixels close to colour.
double Share(const QImage& picture, QRgb colour) {
  int hits = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x) hits += Near(picture.pixel(x, y), colour);
  return double(hits) / (picture.width() * picture.height());
}

// The simulated camera's picture: yellow and cyan bars among others (neither the magenta thumbnail nor the
// plain blue second picture has them).
bool ShowsTestPattern(const QImage& picture) {
  return Share(picture, qRgb(0xC0, 0xC0, 0x00)) > 0.05 && Share(picture, qRgb(0x00, 0xC0, 0xC0)) > 0.05;
}

bool Blank(const QImage& picture) { return Share(picture, qRgb(0xFF, 0xFF, 0xFF)) > 0.99; }

// The camera's frame counter in the simulator's state (requests it has begun to answer).
int Frames(const test::SimProcess& sim, const QString& address) {
  const nlohmann::json state = sim.state();
  for (const auto& c : state["cameras"])
    if (c.value("address", "") == address.toStdString()) return c.value("frames", 0);
  return -1;
}

void ClickClose(CPreviewPage* popup) { popup->closeButton()->click(); }

// Opens the preview over a plain window the size of the wizard, runs body while it is open, closes it (with
// its close button unless told otherwise) and returns how long closing took (the overlay's run returning).
qint64 WithPreview(const PreviewRequest& request, const std::function<void(CPreviewPage*)>& body,
                   const std::function<void(CPreviewPage*)>& close = ClickClose) {
  QWidget page;
  page.resize(860, 640);
  page.show();
  QElapsedTimer closing;
  test::WhenShown<CPreviewPage>([&](CPreviewPage* popup) {
    body(popup);
    closing.start();
    close(popup);
  });
  ui::OverlayInputs inputs;
  inputs.page = request;
  ui::OpenOverlay(&page, ui::kOverlayPreview, inputs);
  return closing.isValid() ? closing.elapsed() : -1;
}

PreviewRequest Camera(const QString& address, const QString& password) {
  return {address, QStringLiteral("admin"), std::make_shared<const net::Secret>(password.toStdString()),
          QPoint(400, 300)};
}

// A camera of our own on a loopback address that answers every snapshot request with the same bytes.
class FixedPictureCamera {
 public:
  FixedPictureCamera(const char* address, QByteArray picture) : picture_(std::move(picture)) {
    server_.Get(PreviewJob::kPicturePath, [this](const httplib::Request&, httplib::Response& res) {
      res.set_content(picture_.constData(), std::size_t(picture_.size()), "image/jpeg");
    });
    port_ = server_.bind_to_any_port(address);
    if (port_ > 0) thread_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~FixedPictureCamera() {
    server_.stop();
    if (thread_.joinable()) thread_.join();
  }
  int port() const { return port_; }

 private:
  QByteArray picture_;
  httplib::Server server_;
  std::thread thread_;
  int port_ = -1;
};

QByteArray FixtureBytes(const char* name) {
  QFile file(Fixture(name));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

long PeakMemoryKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

class PreviewPageTest : public QObject {
  Q_OBJECT
  std::unique_ptr<test::SimProcess> sim_;

 private slots:
  void initTestCase() {
    RegisterPreviewOverlay();
    sim_ = std::make_unique<test::SimProcess>(Fixture("preview-cameras.json").toStdString());
    QVERIFY2(sim_->ready(), sim_->error().c_str());
  }

  // The popup draws the camera's picture, whichever of its snapshots the camera sends.
  void showsTheCamerasPicture_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("password");
    QTest::newRow("1920 x 1080, Digest") << "127.0.26.1" << "door4321";
    QTest::newRow("port 0 means 80") << "127.0.26.1:0" << "door4321";
    QTest::newRow("port 8080, Basic") << "127.0.26.2:8080" << "garage77";
    QTest::newRow("two pictures in one answer: the first") << "127.0.26.3" << "yard2468";
    QTest::newRow("EXIF thumbnail: the whole picture") << "127.0.26.4" << "lobby135";
  }
  void showsTheCamerasPicture() {
    QFETCH(QString, address);
    QFETCH(QString, password);
    QImage shown;
    WithPreview(Camera(address, password), [&](CPreviewPage* popup) {
      QTRY_VERIFY_WITH_TIMEOUT(popup->preview()->picturesReceived() >= 1, 10000);
      QCOMPARE(popup->preview()->size(), QSize(320, 170));
      shown = popup->preview()->grab().toImage();
    });
    QVERIFY2(ShowsTestPattern(shown), "the camera's bars are not in the window");
    QVERIFY(Share(shown, qRgb(0x00, 0x00, 0xFF)) < 0.2);  // not the answer's second picture
    QVERIFY(Share(shown, qRgb(0xFF, 0x00, 0xFF)) < 0.2);  // not the thumbnail
  }

  // Without a port the camera is asked on 80: the camera that listens on 8080 only is not found there.
  void noPortMeansPort80() {
    const int before = Frames(*sim_, "127.0.26.2");
    WithPreview(Camera("127.0.26.2", "garage77"), [&](CPreviewPage* popup) {
      QTest::qWait(1500);
      QCOMPARE(popup->preview()->picturesReceived(), 0);
    });
    QCOMPARE(Frames(*sim_, "127.0.26.2"), before);
  }

  // A wrong password: nothing is drawn, and the camera is asked again about once a second.
  void wrongPasswordLeavesTheWindowBlankAndRetriesEverySecond() {
    const size_t from = sim_->log().size();
    QImage shown;
    WithPreview(Camera("127.0.26.1", "wrong"), [&](CPreviewPage* popup) {
      QTest::qWait(4300);
      QCOMPARE(popup->preview()->picturesReceived(), 0);
      shown = popup->preview()->grab().toImage();
    });
    QVERIFY(Blank(shown));
    // Each attempt is a refused answer carrying the credentials (the first, bare request of each attempt
    // only fetches the challenge).
    std::vector<long> attempts;
    for (const auto& e : sim_->log(from))
      if (e.value("request", "") == "GET /image/jpeg.cgi" && e.contains("headers") &&
          e["headers"].contains("Authorization"))
        attempts.push_back(e.value("ms", 0L));
    QVERIFY2(attempts.size() >= 3, qPrintable(QString::number(attempts.size())));
    for (size_t i = 1; i < attempts.size(); ++i) {
      const long gap = attempts[i] - attempts[i - 1];
      QVERIFY2(gap >= 950 && gap <= 2000, qPrintable(QStringLiteral("gap %1 ms").arg(gap)));
    }
  }

  // A picture over 1,440,000 bytes is not drawn, and the next request follows.
  void aPictureTooLongIsNotDrawn() {
    const int before = Frames(*sim_, "127.0.26.5");
    WithPreview(Camera("127.0.26.5", "porch999"), [&](CPreviewPage* popup) {
      QTRY_VERIFY_WITH_TIMEOUT(popup->job().picturesTooLong() >= 2, 10000);
      QCOMPARE(popup->preview()->picturesReceived(), 0);
    });
    QVERIFY(Frames(*sim_, "127.0.26.5") >= before + 2);
  }

  // Closing while the camera holds a picture half-sent: the popup goes at once, its thread ends with it and
  // the camera hears nothing more.
  void closingWhileTheCameraStallsEndsAtOnce() {
    auto stalls = std::make_unique<test::SimProcess>(Fixture("camera-hangs.json").toStdString());
    QVERIFY2(stalls->ready(), stalls->error().c_str());
    QPointer<CPreviewPage> seen;
    const qint64 closingMs = WithPreview(Camera("127.0.26.9", "hang1234"), [&](CPreviewPage* popup) {
      seen = popup;
      QTRY_COMPARE_WITH_TIMEOUT(Frames(*stalls, "127.0.26.9"), 1, 10000);
      QTest::qWait(300);  // the first bytes are in; the rest never comes
      QVERIFY(popup->job().Active());
    });
    QVERIFY(!seen);  // destroyed with its thread joined
    QVERIFY2(closingMs >= 0 && closingMs < 1000, qPrintable(QString::number(closingMs)));
    QTest::qWait(1500);
    QCOMPARE(Frames(*stalls, "127.0.26.9"), 1);
  }

  // Pictures reach the owner on its own thread; none reaches an owner that has gone, and none is handed over
  // once the job was stopped.
  void picturesReachOnlyALiveOwner() {
    auto* owner = new QObject;
    int received = 0;
    PreviewJob job(owner, [&](QImage image) {
      QCOMPARE(QThread::currentThread(), qApp->thread());
      received += image.size() == QSize(320, 170);
    });
    QVERIFY(job.Connect({"127.0.26.1", 80}, {"admin", net::Secret("door4321")}));
    QCOMPARE(job.FetchOnce({320, 170}), PreviewJob::Fetch::kShown);
    QCOMPARE(received, 0);  // queued, not called on the fetching side
    QTRY_COMPARE(received, 1);

    QCOMPARE(job.FetchOnce({320, 170}), PreviewJob::Fetch::kShown);
    delete owner;  // before the queued picture runs
    QTest::qWait(100);
    QCOMPARE(received, 1);

    QObject second;
    PreviewJob stopped(&second, [&](QImage) { ++received; });
    stopped.Stop();
    QVERIFY(stopped.Connect({"127.0.26.1", 80}, {"admin", net::Secret("door4321")}));  // a fresh transfer
    QCOMPARE(stopped.FetchOnce({320, 170}), PreviewJob::Fetch::kNothingShown);
    QTest::qWait(100);
    QCOMPARE(received, 1);
  }

  // A camera whose snapshot is a few KB of progressive JPEG declaring 30000 x 30000 (a decompression bomb):
  // every picture is refused from its header and counted in the log, nothing is drawn, the process stays
  // small, the popup closes at once, and a preview opened afterwards works as before.
  void aPictureLargerThanACameraSendsIsRefused() {
    const QByteArray bomb = FixtureBytes("hostile-30000.jpg");
    QVERIFY(!bomb.isEmpty());
    FixedPictureCamera camera("127.0.26.20", bomb);
    QVERIFY(camera.port() > 0);
    QTemporaryDir folder;
    SessionLog log;
    QVERIFY(log.Open(folder.path().toStdString()));
    SetSessionLog(&log);
    const qint64 closingMs =
        WithPreview(Camera(QStringLiteral("127.0.26.20:%1").arg(camera.port()), "any"), [&](CPreviewPage* popup) {
          QTRY_VERIFY_WITH_TIMEOUT(popup->job().picturesRefused() >= 2, 10000);
          QCOMPARE(popup->preview()->picturesReceived(), 0);
          QCOMPARE(popup->job().picturesShown(), 0);
        });
    SetSessionLog(nullptr);
    QVERIFY2(closingMs >= 0 && closingMs < 1000, qPrintable(QString::number(closingMs)));
    QVERIFY2(PeakMemoryKb() < 150 * 1024, qPrintable(QString::number(PeakMemoryKb())));
    const std::string text = FileText(log.Folder() / SessionLog::kFileName);
    QVERIFY2(text.find("picture refused: it declares 30000 x 30000 pixels") != std::string::npos, text.c_str());
    QVERIFY2(text.find("pictures refused in this preview") != std::string::npos, text.c_str());

    WithPreview(Camera("127.0.26.1", "door4321"), [&](CPreviewPage* popup) {
      QTRY_VERIFY_WITH_TIMEOUT(popup->preview()->picturesReceived() >= 1, 10000);
    });
  }

  // The popup opens with the keyboard on its close button: Space closes it.
  void closesFromTheKeyboard() {
    bool focused = false;
    const qint64 closingMs = WithPreview(
        Camera("127.0.26.1", "door4321"),
        [&](CPreviewPage* popup) { focused = popup->focusWidget() == popup->closeButton(); },
        [](CPreviewPage* popup) { QTest::keyClick(popup->focusWidget(), Qt::Key_Space); });
    QVERIFY(focused);
    QVERIFY(closingMs >= 0);
  }

  // The popup over a page, as a person sees it, with a picture and blank (wrong password), in English and in
  // Simplified Chinese; its names for a screen reader come from the language file.
  void screenshot_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("popupName");
    QTest::addColumn<QString>("pictureName");
    QTest::addColumn<QString>("file");
    QTest::newRow("en, picture") << 0 << "door4321" << "Live preview 127.0.26.1" << "Camera picture"
                                 << "preview-popup_en";
    QTest::newRow("en, blank") << 0 << "wrong" << "Live preview 127.0.26.1" << "Camera picture"
                               << "preview-popup-blank_en";
    QTest::newRow("zh_CN, picture") << 5 << "door4321" << QString::fromUtf8("实时预览 127.0.26.1")
                                    << QString::fromUtf8("摄像机画面") << "preview-popup_zh_CN";
    QTest::newRow("zh_CN, blank") << 5 << "wrong" << QString::fromUtf8("实时预览 127.0.26.1")
                                  << QString::fromUtf8("摄像机画面") << "preview-popup-blank_zh_CN";
  }
  void screenshot() {
    QFETCH(int, language);
    QFETCH(QString, password);
    QFETCH(QString, popupName);
    QFETCH(QString, pictureName);
    QFETCH(QString, file);
    currentLanguage = language;
    QVERIFY(LoadLanguageFile(language));
    QWidget page;
    page.resize(860, 640);
    page.setStyleSheet("background: #f4f4f4");
    page.show();
    QImage shot;
    QString names[2];
    test::WhenShown<CPreviewPage>([&](CPreviewPage* popup) {
      if (password == "wrong")
        QTest::qWait(1500);  // a refused request or two: the window stays white
      else
        QTRY_VERIFY_WITH_TIMEOUT(popup->preview()->picturesReceived() >= 1, 10000);
      names[0] = popup->accessibleName();
      names[1] = popup->preview()->accessibleName();
      shot = page.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
      QPainter p(&shot);
      p.fillRect(shot.rect(), QColor(0, 0, 0, ui::CTransparentPage::kOpacity));
      p.drawImage(popup->mapToGlobal(QPoint(0, 0)) - page.mapToGlobal(QPoint(0, 0)), popup->grab().toImage());
      popup->closeButton()->click();
    });
    ui::OverlayInputs inputs;
    inputs.page = PreviewRequest{"127.0.26.1", "admin", std::make_shared<const net::Secret>(password.toStdString()),
                                 page.mapToGlobal(QPoint(330, 300))};
    ui::OpenOverlay(&page, ui::kOverlayPreview, inputs);
    currentLanguage = 0;
    LoadLanguageFile(0);
    QVERIFY(!shot.isNull());
    QCOMPARE(names[0], popupName);
    QCOMPARE(names[1], pictureName);
    QVERIFY(shot.save(test::ScreenshotDir() + "/" + file + ".png"));
  }
};

QTEST_MAIN(PreviewPageTest)
#include "PreviewPageTest.moc"
