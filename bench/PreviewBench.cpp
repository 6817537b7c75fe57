// The live preview's cost per picture, run inside the sandbox by scripts/run-benchmarks:
//  - BM_PreviewFetchDecodeHandOver: one 1920 x 1080 snapshot from GET to the finished 320 x 170 image
//    received on the UI thread (wall time, and the CPU time of the thread that does it);
//  - BM_DecodeForWindow / BM_DecodeWhole: the decode alone at the window's size, and the whole picture
//    decoded by the same library, for the side-by-side with djpeg (which the script times on the same files),
//    for a grainy camera-like scene (/0) and a flat test card (/1): the entropy-coded data has to be read
//    whole at any scale, so the busier the picture, the less scaling saves;
//  - BM_PaintPreview: the UI thread's share per picture: taking the image and painting it;
//  - BM_RefuseOversizedPicture: a few KB of progressive JPEG declaring 30000 x 30000 (the test fixture), from
//    bytes to refusal: CPU time of the thread, and the process's peak memory;
//  - BM_OpenPreviewCpu: an open preview at its own refresh rate for 10 s: CPU of the whole process.
// The camera is a child process serving one fixed JPEG, so its CPU is not counted.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <chrono>
#include <csignal>
#include <ctime>
#include <string>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "pages/preview/PreviewDecode.h"
#include "pages/preview/PreviewJob.h"
#include "pages/preview/PreviewPage.h"

using namespace vrx;

namespace {

constexpr QSize kWindow{320, 170};
const char* const kCameraHost = "127.0.0.1";
int cameraPort = 0;
QByteArray snapshot;   // the camera's picture: the scene
QByteArray pictures[2];  // scene, test card

// A Full HD picture: gradients and bars, with sensor grain for the camera-like scene, so its entropy-coded
// data is as busy as a real scene's (the flat test card flatters every decoder).
QByteArray FullHdJpeg(bool grain) {
  QImage image(1920, 1080, QImage::Format_RGB32);
  QPainter p(&image);
  QLinearGradient sky(0, 0, 0, 1080);
  sky.setColorAt(0, QColor(90, 140, 200));
  sky.setColorAt(1, QColor(40, 60, 40));
  p.fillRect(image.rect(), sky);
  const QColor bars[] = {Qt::lightGray, QColor(192, 192, 0), QColor(0, 192, 192), QColor(0, 192, 0),
                         QColor(192, 0, 192), QColor(192, 0, 0), QColor(0, 0, 192)};
  for (int i = 0; i < 7; ++i) p.fillRect(100 + i * 120, 100, 110, 500, bars[i]);
  p.end();
  QRandomGenerator noise(7);
  for (int y = 0; grain && y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int n = int(noise.bounded(13)) - 6;
      const QRgb c = line[x];
      line[x] = qRgb(qBound(0, qRed(c) + n, 255), qBound(0, qGreen(c) + n, 255), qBound(0, qBlue(c) + n, 255));
    }
  }
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPEG", 85);
  return out;
}

double ThreadCpuMs() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

double ProcessCpuMs() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

// Receives the images on the UI thread, as CPreview does.
struct Receiver : QObject {
  int received = 0;
  QImage last;
};

void BM_PreviewFetchDecodeHandOver(benchmark::State& state) {
  Receiver receiver;
  PreviewJob job(&receiver, [r = &receiver](QImage image) {
    r->last = std::move(image);
    ++r->received;
  });
  if (!job.Connect({kCameraHost, cameraPort}, {"admin", net::Secret("pass")})) return state.SkipWithError("no client");
  double cpuMs = 0;
  for (auto _ : state) {
    const int before = receiver.received;
    const double cpu0 = ThreadCpuMs();
    const auto start = std::chrono::steady_clock::now();
    if (job.FetchOnce(kWindow) != PreviewJob::Fetch::kShown) return state.SkipWithError("no picture");
    while (receiver.received == before) QCoreApplication::processEvents();
    state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    cpuMs += ThreadCpuMs() - cpu0;
  }
  if (receiver.last.size() != kWindow) state.SkipWithError("wrong size");
  state.counters["cpu_ms"] = cpuMs / double(state.iterations());
  state.counters["snapshot_kb"] = snapshot.size() / 1024.0;
}
BENCHMARK(BM_PreviewFetchDecodeHandOver)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);

void BM_DecodeForWindow(benchmark::State& state) {
  const QByteArray& jpeg = pictures[state.range(0)];
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(jpeg.constData());
  for (auto _ : state) {
    QImage image = DecodePreviewPicture(bytes, std::size_t(jpeg.size()), kWindow).image;
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["jpeg_kb"] = jpeg.size() / 1024.0;
}
BENCHMARK(BM_DecodeForWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_DecodeWhole(benchmark::State& state) {
  const QByteArray& jpeg = pictures[state.range(0)];
  for (auto _ : state) {
    QImage image;
    image.loadFromData(jpeg, "JPEG");
    benchmark::DoNotOptimize(image.constBits());
    if (image.width() != 1920) return state.SkipWithError("not decoded");
  }
}
BENCHMARK(BM_DecodeWhole)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RefuseOversizedPicture(benchmark::State& state) {
  QFile file(QStringLiteral(VRX_FIXTURE_DIR "/hostile-30000.jpg"));
  if (!file.open(QIODevice::ReadOnly)) return state.SkipWithError("no fixture");
  const QByteArray hostile = file.readAll();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(hostile.constData());
  double cpuMs = 0;
  for (auto _ : state) {
    const double cpu0 = ThreadCpuMs();
    const PreviewPicture picture = DecodePreviewPicture(bytes, std::size_t(hostile.size()), kWindow);
    cpuMs += ThreadCpuMs() - cpu0;
    if (picture.outcome != PreviewPicture::Outcome::kTooLarge) return state.SkipWithError("not refused");
  }
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["cpu_ms"] = cpuMs / double(state.iterations());
  state.counters["peak_rss_mb"] = usage.ru_maxrss / 1024.0;
}
BENCHMARK(BM_RefuseOversizedPicture)->Unit(benchmark::kMicrosecond);

void BM_PaintPreview(benchmark::State& state) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(snapshot.constData());
  const QImage picture = DecodePreviewPicture(bytes, std::size_t(snapshot.size()), kWindow).image;
  QWidget popup;
  popup.resize(358, 212);
  CPreview preview(&popup);
  preview.setGeometry(24, 32, 320, 170);
  popup.show();
  QCoreApplication::processEvents();
  for (auto _ : state) {
    preview.setPicture(picture);
    preview.repaint();
  }
}
BENCHMARK(BM_PaintPreview)->Unit(benchmark::kMicrosecond);

void BM_OpenPreviewCpu(benchmark::State& state) {
  for (auto _ : state) {
    QWidget popup;
    popup.resize(358, 212);
    CPreview preview(&popup);
    preview.setGeometry(24, 32, 320, 170);
    popup.show();
    PreviewJob job(&preview, [view = &preview](QImage image) { view->setPicture(std::move(image)); });
    const double cpu0 = ProcessCpuMs();
    QElapsedTimer wall;
    wall.start();
    job.Start({kCameraHost, cameraPort}, {"admin", net::Secret("pass")}, kWindow);
    QEventLoop idle;
    QTimer::singleShot(10000, &idle, &QEventLoop::quit);
    idle.exec();
    job.Stop();
    const double seconds = wall.elapsed() / 1000.0;
    state.SetIterationTime(seconds);
    state.counters["cpu_percent_of_a_core"] = (ProcessCpuMs() - cpu0) / (seconds * 1000.0) * 100.0;
    state.counters["pictures_per_s"] = preview.picturesReceived() / seconds;
  }
}
BENCHMARK(BM_OpenPreviewCpu)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

// The camera: a child process serving the snapshot until the benchmark ends.
pid_t StartCamera() {
  int ports[2];
  if (pipe(ports) != 0) return -1;
  const pid_t pid = fork();
  if (pid == 0) {
    close(ports[0]);
    httplib::Server server;
    server.Get("/image/jpeg.cgi", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(snapshot.constData(), std::size_t(snapshot.size()), "image/jpeg");
    });
    const int port = server.bind_to_any_port(kCameraHost);
    if (write(ports[1], &port, sizeof port) != sizeof port) _exit(1);
    close(ports[1]);
    server.listen_after_bind();
    _exit(0);
  }
  close(ports[1]);
  if (read(ports[0], &cameraPort, sizeof cameraPort) != sizeof cameraPort) cameraPort = 0;
  close(ports[0]);
  return pid;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  pictures[0] = snapshot = FullHdJpeg(true);
  pictures[1] = FullHdJpeg(false);
  // The same files for djpeg, and a tiny one to subtract djpeg's start-up.
  const QString dir = qEnvironmentVariable("VRX_BENCH_OUT", QStringLiteral(VRX_BENCH_OUT_DIR));
  for (const auto& [name, bytes] : {std::pair{"scene", pictures[0]}, std::pair{"card", pictures[1]}}) {
    QFile file(dir + "/preview-1080-" + name + ".jpg");
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  }
  QImage tiny(16, 16, QImage::Format_RGB32);
  tiny.fill(Qt::gray);
  tiny.save(dir + "/preview-16.jpg", "JPEG", 85);

  const pid_t camera = StartCamera();
  if (camera <= 0 || cameraPort <= 0) return 1;
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  kill(camera, SIGTERM);
  waitpid(camera, nullptr, 0);
  return 0;
}
