#pragma once
// What the wizard did in this run, as plain text lines a person can read when something went wrong: pages
// entered and left, popups shown, every request to the recorder, the cameras and the account service (command,
// host, path without query values, status, time) and every datagram command with its outcome.
//
// It never holds a secret: callers hand it events, not data, and the network records it receives carry no
// query values, headers or bodies (net/RequestLog.h). Every text is cleaned before it is written (no control
// or bidirectional-override characters, valid UTF-8), so a peer's name can neither forge a line nor send escape
// sequences to whoever reads the file. The folder keeps the last three runs: wizard.log (this one),
// wizard.log.1 and wizard.log.2.
//
// The folder is the user's alone: created 0700 and the file 0600 at creation, never through a symbolic link,
// and a folder that is a link, belongs to someone else or others may write into is not used at all.
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>

#include "net/RequestLog.h"

namespace vrx {

class SessionLog final : public net::RequestListener {
 public:
  static constexpr int kKeptFiles = 3;
  static constexpr const char* kFileName = "wizard.log";

  // $XDG_STATE_HOME/vrx-setup-wizard, or ~/.local/state/vrx-setup-wizard when that is not set (or not absolute);
  // the home is $HOME, or the user's entry in the password database when HOME is unset. Empty when neither
  // names an absolute folder (the wizard then runs without a log).
  static std::filesystem::path DefaultFolder();

  SessionLog() = default;
  ~SessionLog() override;
  SessionLog(const SessionLog&) = delete;
  SessionLog& operator=(const SessionLog&) = delete;

  // Creates the folder (0700, and any missing parent), moves the older files one step along (dropping the
  // oldest) and starts a new wizard.log (0600). False when the folder is refused or the file cannot be
  // written; the wizard then runs without a log.
  bool Open(const std::filesystem::path& folder);
  bool IsOpen() const;
  const std::filesystem::path& Folder() const { return folder_; }

  // One line: local time with milliseconds, the topic, the text. Any thread.
  void Write(std::string_view topic, std::string_view text);

  void OnHttpRequest(const net::HttpRequestRecord& record) override;
  void OnDatagram(const net::DatagramRecord& record) override;
  void OnWarning(std::string_view text) override;

 private:
  void CloseFile();

  mutable std::mutex mutex_;
  int fd_ = -1;
  std::filesystem::path folder_;
};

// The process's log, for the few places that feed it (page host, popups); null when none is open.
void SetSessionLog(SessionLog* log);
SessionLog* CurrentSessionLog();
// Writes to the process's log when there is one.
void LogEvent(std::string_view topic, std::string_view text);

}  // namespace vrx
