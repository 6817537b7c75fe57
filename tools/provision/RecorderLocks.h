#pragma once
// One run at a time per recorder: a lock file per MAC in the user's runtime folder ($XDG_RUNTIME_DIR, else a
// private folder of the user's under /tmp), held with flock for the whole run and released when the process
// ends, however it ends. apply takes its recorders' locks alone; plans share them (two plans may read one
// recorder at once, never while an apply writes to it).
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace vrx::provision {

class RecorderLocks {
 public:
  RecorderLocks() = default;
  ~RecorderLocks();
  RecorderLocks(const RecorderLocks&) = delete;
  RecorderLocks& operator=(const RecorderLocks&) = delete;

  struct Held {
    std::string mac;
    int pid = 0;  // the run that holds it, 0 when unknown
  };
  // Takes every MAC's lock, waiting up to `timeout` while another run holds some: `waiting` is told once which,
  // before the wait. `stop` is polled while waiting (a signal). Empty when all are held by this run; else the
  // recorders another run still holds (or, with `fault` set, why the locks cannot be made at all).
  std::vector<Held> Take(const std::vector<std::string>& macs, bool shared, std::chrono::milliseconds timeout,
                         const std::function<void(const std::vector<Held>&)>& waiting,
                         const std::function<bool()>& stop, std::string& fault);

  // The folder the lock files are in; created owner-only when missing. Empty (and `fault` set) when it is not
  // a folder of the user's alone.
  static std::string Folder(std::string& fault);

 private:
  void ReleaseAll();
  std::vector<int> fds_;
};

}  // namespace vrx::provision
