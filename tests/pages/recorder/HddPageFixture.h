#pragma once
// What the disk page's tests share: a stand-in for the host's disk poller (the recorder's storageinfo every
// 500 ms, a WM_WIZ_DISKSTATUS after the first pass and on every change), a page that records what it tells
// the host and starts or stops that poller on WM_WIZ_DISKPOLL as the host does, popup helpers, and a recorder
// scenario with two disk bays.
#include <QApplication>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "net/DeviceCommandWorker.h"
#include "net/HttpGet.h"
#include "net/ReplyParsers.h"
#include "pages/recorder/HddFormatDlg.h"

namespace hddtest {

using namespace vrx;

constexpr const char* kRecorderIp = "127.0.15.1";

// A recorder with the two given disk descriptions (JSON objects); a format takes formatSeconds.
inline std::string Scenario(const std::string& hd1, const std::string& hd2, int formatSeconds = 1) {
  return std::string(R"({"name": "disks", "recorder": {"address": "127.0.15.1", "mac": "00:1d:4f:a0:15:01",)") +
         R"("admin_password": "", "format_seconds": )" + std::to_string(formatSeconds) + R"(, "disks": [)" + hd1 + ", " + hd2 +
         R"(]}, "kelvaro": {"address": "127.0.35.1"}})";
}

// The host's poller, reduced to what the page sees.
class StandInPoller {
 public:
  std::atomic<int> ready[2]{};
  std::atomic<int> plugged[2]{};
  std::atomic<int> fileSystems[2]{};

  explicit StandInPoller(WindowHandle page) : page_(page) {}
  ~StandInPoller() { Stop(); }

  void Start() {
    Stop();
    running_ = true;
    thread_ = std::thread([this] { Run(); });
  }
  void Stop() {
    running_ = false;
    if (thread_.joinable()) thread_.join();
  }

 private:
  void Run() {
    bool first = true;
    int last[4] = {};
    while (running_) {
      for (int id = 0; id < 2 && running_; ++id) ReadBay(id);
      const int now[4] = {ready[0], ready[1], plugged[0], plugged[1]};
      if (first || !std::equal(now, now + 4, last))
        PostMessage(page_, WM_WIZ_DISKSTATUS, WPARAM(&ready[0]), LPARAM(&plugged[0]));
      std::copy(now, now + 4, last);
      first = false;
      for (int i = 0; i < 10 && running_; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }
  void ReadBay(int id) {
    net::HttpGet http;
    std::vector<std::uint8_t> buffer(64000, 0);
    std::size_t size = buffer.size();
    const bool ok = http.Connect(kRecorderIp, "admin", "", 6000, false, 80) &&
                    http.GetToBuffer("/config/storageinfo?storageid=" + std::to_string(id), buffer.data(), size);
    const std::string reply(reinterpret_cast<const char*>(buffer.data()), ok ? size : 0);
    plugged[id] = net::ReplyValue(reply, "plug") == "1";
    ready[id] = net::ReplyValue(reply, "ready") == "1";
    const std::string info = net::ReplyValue(reply, "partitioninfo" + net::ReplyValue(reply, "usedpartition"));
    std::size_t field = 0;
    for (int commas = 0; commas < 5 && field != std::string::npos; ++commas) {
      field = info.find(',', field);
      if (field != std::string::npos) ++field;
    }
    const std::string code = field == std::string::npos ? "" : info.substr(field);
    fileSystems[id] = code.size() == 1 && code[0] >= '1' && code[0] <= '5' ? code[0] - '0' : 0;
  }

  WindowHandle page_;
  std::atomic<bool> running_{false};
  std::thread thread_;
};

// The disk page with the host's side played by the test: what it tells the host is recorded, and
// WM_WIZ_DISKPOLL starts (0) or stops (1) the stand-in poller.
class RecordingHddPage : public CHddFormatDlg {
 public:
  RecordingHddPage(CInterDialog& host, net::DeviceCommandWorker& worker)
      : CHddFormatDlg(host, poller.fileSystems, worker, 80), poller(handle()) {}
  ~RecordingHddPage() override { poller.Stop(); }

  StandInPoller poller;  // constructed after the base, which only keeps the codes' address
  std::vector<std::pair<unsigned, WPARAM>> told;

  void Report(int ready0, int ready1, int plugged0, int plugged1) {
    poller.ready[0] = ready0, poller.ready[1] = ready1;
    poller.plugged[0] = plugged0, poller.plugged[1] = plugged1;
    PostMessage(handle(), WM_WIZ_DISKSTATUS, WPARAM(&poller.ready[0]), LPARAM(&poller.plugged[0]));
  }

 protected:
  void TellHost(unsigned msg, WPARAM wParam) override {
    told.emplace_back(msg, wParam);
    if (msg == WM_WIZ_DISKPOLL) wParam == 0 ? poller.Start() : poller.Stop();
  }
};

using Told = std::vector<std::pair<unsigned, WPARAM>>;
inline const std::pair<unsigned, WPARAM> kStopPolling{WM_WIZ_DISKPOLL, 1}, kPollAgain{WM_WIZ_DISKPOLL, 0},
    kNext{WM_WIZ_NAVIGATE, NAV_NEXT}, kBack{WM_WIZ_NAVIGATE, NAV_BACK};

template <class T>
T* VisiblePopup() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* popup = qobject_cast<T*>(w); popup && popup->isVisible()) return popup;
  return nullptr;
}

// Runs action once a popup of type T is on screen. The popups run nested modal loops inside the click that
// opened them, so a timer looks for them from inside those loops.
template <class T>
void WhenShown(std::function<void(T*)> action) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    if (T* popup = VisiblePopup<T>()) {
      timer->stop();
      timer->deleteLater();
      action(popup);
    }
  });
  timer->start();
}

}  // namespace hddtest
