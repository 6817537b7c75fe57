#include "SignalWatch.h"

#include <pthread.h>
#include <signal.h>

#include <ctime>

namespace vrx::provision {

namespace {

sigset_t StopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

void SignalWatch::BlockStopSignals() {
  const sigset_t set = StopSignals();
  ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

SignalWatch::SignalWatch(std::function<void(int, int)> onSignal) : onSignal_(std::move(onSignal)) {
  thread_ = std::thread([this] {
    const sigset_t set = StopSignals();
    int count = 0;
    while (!done_.load()) {
      const timespec pause{0, 100'000'000};  // to see done_ within a tenth of a second
      const int signal = ::sigtimedwait(&set, nullptr, &pause);
      if (signal <= 0) continue;
      if (count == 0) first_.store(signal);
      onSignal_(signal, ++count);
    }
  });
}

SignalWatch::~SignalWatch() {
  done_.store(true);
  thread_.join();
}

const char* SignalName(int signal) { return signal == SIGTERM ? "SIGTERM" : "SIGINT"; }

int SignalExitCode(int signal) { return 128 + signal; }

}  // namespace vrx::provision
