#pragma once
// Event-loop latency of the UI thread while a GUI test runs: a short precise timer measures how late each of
// its ticks comes (a tick can only be late while the thread is busy with something else). Every lateness
// is kept for the percentiles; a stall (lateness over kStallMs) is kept with the page on screen and the last
// thing the user did (the latest click or key and the control it went to). It also keeps when each page
// came, so the time the road spends on each page can be compared with the waits it must make there, and the
// lateness percentiles per page.
//
// Create it before the windows, call WriteReport at the end; the report is JSON. Work of the test itself on
// the UI thread (screenshots) is marked with a StallProbe::TestWork in scope: a tick delayed by it is counted
// apart, and its time is reported per page, since a user's wizard never does it.

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace vrx::test {

class StallProbe : public QObject {
 public:
  static constexpr int kPeriodMs = 4;
  static constexpr double kStallMs = 16.0;  // one frame at 60 Hz

  // where() names the page on screen (empty while there is none).
  explicit StallProbe(std::function<QString()> where) : where_(std::move(where)) {
    clock_.start();
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kPeriodMs);
    connect(&timer_, &QTimer::timeout, this, &StallProbe::Tick);
    timer_.start();
    lastTickMs_ = Now();
    qApp->installEventFilter(this);
  }
  ~StallProbe() override { qApp->removeEventFilter(this); }

  // Marks the test's own work on the UI thread for as long as it lives.
  class TestWork {
   public:
    TestWork() {
      ++Marks();
      clock_.start();
    }
    ~TestWork() {
      ++Marks();
      TestMs() += double(clock_.nsecsElapsed()) / 1e6;
    }
    TestWork(const TestWork&) = delete;
    TestWork& operator=(const TestWork&) = delete;

   private:
    QElapsedTimer clock_;
  };

  struct Stall {
    double lateMs;
    double atMs;  // since the probe started
    QString page, action;
  };

  QJsonObject Report() const {
    const std::vector<double> sorted = Sorted(lateness_);
    auto percentile = [&](double p) { return Percentile(sorted, p); };
    std::vector<Stall> worst = stalls_;
    std::sort(worst.begin(), worst.end(), [](const Stall& a, const Stall& b) { return a.lateMs > b.lateMs; });
    auto toJson = [](const Stall& s) {
      return QJsonObject{{"late_ms", s.lateMs}, {"at_s", s.atMs / 1000}, {"page", s.page}, {"action", s.action}};
    };
    QJsonArray stalls;
    for (const Stall& s : worst) stalls.append(toJson(s));
    QJsonArray pages;
    for (std::size_t i = 0; i < pages_.size(); ++i) {
      const bool last = i + 1 == pages_.size();
      const double end = last ? Now() : pages_[i + 1].enteredMs;
      const double testEnd = last ? TestMs() : pages_[i + 1].testMsBefore;
      const std::vector<double> late = Sorted(pages_[i].lateness);
      pages.append(QJsonObject{{"page", pages_[i].page}, {"entered_s", pages_[i].enteredMs / 1000},
                               {"seconds", (end - pages_[i].enteredMs) / 1000},
                               {"test_s", (testEnd - pages_[i].testMsBefore) / 1000},
                               {"p50_ms", Percentile(late, 0.50)}, {"p99_ms", Percentile(late, 0.99)},
                               {"max_ms", late.empty() ? 0.0 : late.back()}});
    }
    return QJsonObject{{"period_ms", kPeriodMs},
                       {"ticks", int(lateness_.size())},
                       {"first_paint_s", firstPaintMs_ / 1000},
                       {"p50_ms", percentile(0.50)},
                       {"p99_ms", percentile(0.99)},
                       {"worst", worst.empty() ? QJsonObject{{"late_ms", sorted.empty() ? 0.0 : sorted.back()}}
                                               : toJson(worst.front())},
                       {"stalls_over_16ms", stalls},
                       {"ticks_delayed_by_the_test", testDelayed_},
                       {"pages", pages}};
  }

  bool WriteReport(const QString& path) const {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(QJsonDocument(Report()).toJson()) > 0;
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Paint:
        if (firstPaintMs_ < 0 && !where_().isEmpty()) firstPaintMs_ = Now();
        break;
      case QEvent::MouseButtonPress:
        if (watched->isWidgetType()) action_ = "click " + Name(watched);
        break;
      case QEvent::KeyPress:
        if (watched->isWidgetType() && !static_cast<QKeyEvent*>(event)->isAutoRepeat())
          action_ = "key " + static_cast<QKeyEvent*>(event)->text() + " in " + Name(watched);
        break;
      default: break;
    }
    return false;
  }

 private:
  static std::vector<double> Sorted(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values;
  }
  static double Percentile(const std::vector<double>& sorted, double p) {
    return sorted.empty() ? 0.0 : sorted[std::min(sorted.size() - 1, std::size_t(p * double(sorted.size())))];
  }

  // Milliseconds of the test's own work so far.
  static double& TestMs() {
    static double ms = 0;  // UI thread only
    return ms;
  }
  static unsigned& Marks() {
    static unsigned marks = 0;  // UI thread only
    return marks;
  }

  double Now() const { return double(clock_.nsecsElapsed()) / 1e6; }

  static QString Name(QObject* o) {
    auto* w = static_cast<QWidget*>(o);
    QString name = w->accessibleName();
    if (name.isEmpty()) name = w->property("text").toString();  // a button's caption
    if (name.isEmpty()) name = w->objectName();
    return QString::fromLatin1(o->metaObject()->className()).section("::", -1) +
           (name.isEmpty() ? QString() : " \"" + name + "\"");
  }

  void Tick() {
    const double now = Now();
    const double late = std::max(0.0, now - lastTickMs_ - kPeriodMs);
    lastTickMs_ = now;
    const bool byTheTest = Marks() != marksSeen_;
    marksSeen_ = Marks();
    const QString page = where_();
    if (pages_.empty() || pages_.back().page != page) pages_.push_back(PageVisit{page, now, TestMs(), {}});
    if (firstPaintMs_ < 0) return;  // start-up is measured on its own
    if (byTheTest) {
      ++testDelayed_;
      return;
    }
    lateness_.push_back(late);
    pages_.back().lateness.push_back(late);
    if (late > kStallMs) stalls_.push_back(Stall{late, now, page, action_});
  }

  std::function<QString()> where_;
  QElapsedTimer clock_;
  QTimer timer_;
  double lastTickMs_ = 0;
  double firstPaintMs_ = -1;
  QString action_ = "start";
  unsigned marksSeen_ = 0;
  int testDelayed_ = 0;
  std::vector<double> lateness_;
  std::vector<Stall> stalls_;
  struct PageVisit {
    QString page;
    double enteredMs;
    double testMsBefore;  // the test's own work until then
    std::vector<double> lateness;  // of the ticks while it was on screen
  };
  std::vector<PageVisit> pages_;
};

}  // namespace vrx::test
