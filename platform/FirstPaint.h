#pragma once
// The end of the first paint of a chosen widget: runs a callback once it has reached the window (start-up
// work that no paint needs goes there). With VRX_EXIT_AFTER_FIRST_PAINT=1 it also prints the start-up
// figures, "first-paint-ms=<ms> peak-rss-kib=<KiB> libraries=<n> imposed-wait-ms=<ms>" (time since process
// start, peak memory then, shared libraries mapped then, and the pause the program's start-up order makes it
// wait on purpose before it shows its page), and the program is expected to end itself in the callback.
//
// Process start is VRX_PROCESS_T0_NS (CLOCK_MONOTONIC nanoseconds taken by whoever started the process,
// right before it did) when set, else the kernel's start time of the process (10 ms steps).
// Header only, so the benchmark's minimal Qt program measures with exactly the same code as the wizard.

#include <QApplication>
#include <QByteArray>
#include <QEvent>
#include <QFile>
#include <QSet>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <functional>
#include <utility>

#include <unistd.h>

namespace vrx {

class FirstPaintWatch : public QObject {
 public:
  static bool Requested() { return qEnvironmentVariableIntValue("VRX_EXIT_AFTER_FIRST_PAINT") == 1; }

  // Watches every widget's paint events until the first one that isTarget accepts. onDone runs once that
  // paint has reached the window (after the event that painted it).
  // imposedWaitMs: the deliberate pause before the target is shown (reported, not taken off).
  FirstPaintWatch(std::function<bool(QWidget*)> isTarget, std::function<void()> onDone, int imposedWaitMs = 0)
      : isTarget_(std::move(isTarget)), onDone_(std::move(onDone)), imposedWaitMs_(imposedWaitMs) {
    qApp->installEventFilter(this);
  }

  // Milliseconds since the process started.
  static double MsSinceProcessStart() {
    const QByteArray t0 = qgetenv("VRX_PROCESS_T0_NS");
    if (!t0.isEmpty()) return double(NowNs(CLOCK_MONOTONIC) - t0.toLongLong()) / 1e6;
    // Field 22 of /proc/self/stat: start time in clock ticks since boot.
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly)) return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20) return -1;
    const double startMs = fields[19].toDouble() * 1000.0 / double(sysconf(_SC_CLK_TCK));
    return double(NowNs(CLOCK_BOOTTIME)) / 1e6 - startMs;
  }

  // The process's peak resident memory so far (VmHWM), KiB.
  static long PeakRssKib() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
      if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
  }

  // Shared libraries mapped into the process (distinct files whose name holds ".so").
  static int MappedLibraries() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly)) return -1;
    QSet<QByteArray> files;
    for (const QByteArray& line : maps.readAll().split('\n')) {
      const int slash = line.indexOf('/');
      if (slash >= 0 && line.indexOf(".so", slash) >= 0) files.insert(line.mid(slash));
    }
    return int(files.size());
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !painted_ && watched->isWidgetType() &&
        isTarget_(static_cast<QWidget*>(watched))) {
      painted_ = true;
      // Runs once the expose or update that sent this paint has flushed the window.
      QTimer::singleShot(0, this, [this] {
        qApp->removeEventFilter(this);
        if (Requested()) {
          std::printf("first-paint-ms=%.2f peak-rss-kib=%ld libraries=%d imposed-wait-ms=%d\n", MsSinceProcessStart(),
                      PeakRssKib(), MappedLibraries(), imposedWaitMs_);
          std::fflush(stdout);
        }
        onDone_();
      });
    }
    return false;
  }

 private:
  static long long NowNs(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
  }

  std::function<bool(QWidget*)> isTarget_;
  std::function<void()> onDone_;
  int imposedWaitMs_ = 0;
  bool painted_ = false;
};

}  // namespace vrx
