#include "ProvisionProgram.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#include <optional>

#include "RecorderLocks.h"
#include "ReportSinks.h"
#include "SecretsFile.h"
#include "SignalWatch.h"
#include "net/PeerText.h"
#include "steps/ReplaceFile.h"

namespace vrx::provision {

namespace {

// Writes std::ostream output to a C stream (the JSON sink writes to a stream; tests hand in a C stream).
class FileStreamBuffer : public std::streambuf {
 public:
  explicit FileStreamBuffer(std::FILE* file) : file_(file) {}

 protected:
  int_type overflow(int_type c) override {
    if (c != traits_type::eof()) std::fputc(c, file_);
    return c;
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    return std::streamsize(std::fwrite(s, 1, std::size_t(n), file_));
  }
  int sync() override { return std::fflush(file_); }

 private:
  std::FILE* file_;
};

// A JSON Lines sink that owns the file it writes to.
class ReportFileSink : public ReportSink {
 public:
  explicit ReportFileSink(std::FILE* file) : file_(file), buffer_(file), stream_(&buffer_), sink_(stream_) {}
  ~ReportFileSink() override { std::fclose(file_); }
  void RunStarted(const RunStart& s) override { sink_.RunStarted(s); }
  void StepEnded(const StepOutcome& o) override { sink_.StepEnded(o); }
  void RecorderEnded(const RecorderResult& r) override { sink_.RecorderEnded(r); }
  void RunEnded(const RunEnd& e) override { sink_.RunEnded(e); }

 private:
  std::FILE* file_;
  FileStreamBuffer buffer_;
  std::ostream stream_;
  JsonLinesSink sink_;
};

std::string Joined(const std::vector<std::string>& macs) {
  std::string text;
  for (const std::string& mac : macs) text += (text.empty() ? "" : ", ") + mac;
  return text;
}

// The errors of an answer or secrets file, as lines a person or (--json) a program reads.
int Refused(const RunOptions& options, const ProgramWorld& world, const std::string& file,
            const std::vector<AnswerError>& errors) {
  for (const AnswerError& e : errors) {
    if (options.json)
      std::fprintf(world.out, "%s\n", AnswerErrorJson(file, e).c_str());
    else
      std::fprintf(world.err, "%s\n", FormatAnswerError(file, e).c_str());
  }
  return kExitUsage;
}

// --limit: only the recorders it names, each of which the file must list.
std::optional<std::string> Limit(SitePlan& plan, const std::vector<std::string>& limit) {
  if (limit.empty()) return std::nullopt;
  for (const std::string& mac : limit)
    if (std::none_of(plan.recorders.begin(), plan.recorders.end(), [&](const auto& r) { return r.mac == mac; }))
      return "--limit names " + mac + ", which the answer file does not list";
  std::erase_if(plan.recorders, [&](const RecorderAnswer& r) {
    return std::find(limit.begin(), limit.end(), r.mac) == limit.end();
  });
  return std::nullopt;
}

bool CanReachNetwork(const ProgramWorld& world) {
  if (!world.networkLayer || !world.networkLayer()) {
    std::fprintf(world.err, "vrx-provision: the network layer (libcurl) cannot be loaded\n");
    return false;
  }
  if (!world.adapters || world.adapters().empty()) {
    std::fprintf(world.err, "vrx-provision: this computer has no IPv4 address to search from\n");
    return false;
  }
  return true;
}

int Survey(const RunOptions& options, const ProgramWorld& world) {
  if (options.writeFile) {
    struct stat st {};
    if (::lstat(options.writeFile->c_str(), &st) == 0) {
      std::fprintf(world.err, "vrx-provision: %s exists already; --write makes a new file\n",
                   net::CleanPeerText(*options.writeFile).c_str());
      return kExitUsage;
    }
  }
  if (!CanReachNetwork(world)) return kExitCannotRun;
  if (!world.survey) {
    std::fprintf(world.err, "vrx-provision: no way to reach the recorders in this build\n");
    return kExitCannotRun;
  }
  if (!options.json) std::fprintf(world.err, "Searching the LAN for VRX-410Q recorders (6 s)...\n");
  std::optional<std::vector<SurveyedRecorder>> found = world.survey(options.zones);
  if (!found) {
    std::fprintf(world.err, "vrx-provision: the search could not be sent\n");
    return kExitCannotRun;
  }
  if (!options.limit.empty())
    std::erase_if(*found, [&](const SurveyedRecorder& r) {
      return std::find(options.limit.begin(), options.limit.end(), r.mac) == options.limit.end();
    });
  if (options.json)
    for (const SurveyedRecorder& r : *found) std::fprintf(world.out, "%s\n", SurveyJson(r, options.zones).c_str());
  else
    std::fputs(SurveyTable(*found, options.zones).c_str(), world.out);
  if (options.writeFile) {
    const std::string text = SurveySkeleton(*found);
    if (const int error = steps::ReplaceFile(QString::fromStdString(*options.writeFile),
                                             QByteArray::fromStdString(text), 0600)) {
      std::fprintf(world.err, "vrx-provision: cannot write %s: %s\n", net::CleanPeerText(*options.writeFile).c_str(),
                   std::strerror(error));
      return kExitCannotRun;
    }
    std::fprintf(world.err, "Wrote %s (%zu recorder%s): set %s, then: vrx-provision check %s\n",
                 net::CleanPeerText(*options.writeFile).c_str(), found->size(), found->size() == 1 ? "" : "s",
                 kSkeletonAdminEnv, net::CleanPeerText(*options.writeFile).c_str());
  }
  std::fflush(world.out);
  return kExitDone;
}

}  // namespace

std::FILE* OpenReportFile(const std::string& path, std::string& fault) {
  const std::string shown = net::CleanPeerText(path);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
  if (fd < 0) {
    fault = errno == ELOOP ? shown + " is a symbolic link; the report is never written through one"
                           : "cannot write the report to " + shown + ": " + std::strerror(errno);
    return nullptr;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    fault = shown + " is not a regular file";
  } else if (st.st_uid != ::geteuid()) {
    fault = shown + " belongs to another user; the report goes into a file of the user's own";
  } else if (st.st_nlink != 1) {
    fault = shown + " has other names (hard links); name a new file";
  } else if (::fchmod(fd, 0600) != 0 || ::ftruncate(fd, 0) != 0) {
    fault = "cannot write the report to " + shown + ": " + std::strerror(errno);
  }
  if (!fault.empty()) {
    ::close(fd);
    return nullptr;
  }
  std::FILE* file = ::fdopen(fd, "w");
  if (!file) {
    fault = "cannot write the report to " + shown + ": " + std::strerror(errno);
    ::close(fd);
  }
  return file;
}

int RunProvision(const RunOptions& options, const ProgramWorld& world) {
  if (options.mode == Mode::Survey) return Survey(options, world);

  Environment environment = world.environment;
  if (options.secretsFile) {
    SecretsFileResult secrets = ReadSecretsFile(*options.secretsFile);
    if (!secrets.errors.empty()) return Refused(options, world, *options.secretsFile, secrets.errors);
    environment = WithSecrets(std::make_shared<const std::map<std::string, net::Secret>>(std::move(secrets.secrets)),
                              std::move(environment));
  }
  AnswerFileResult read = ReadAnswerFile(options.answerFile, environment, options.baseDir.value_or(""));
  if (!read.errors.empty()) return Refused(options, world, options.answerFile, read.errors);
  if (std::optional<std::string> fault = Limit(*read.plan, options.limit)) {
    std::fprintf(world.err, "vrx-provision: %s\n", fault->c_str());
    return kExitUsage;
  }
  if (options.mode == Mode::Check) {
    const std::size_t count = read.plan->recorders.size();
    if (!options.json)
      std::fprintf(world.out, "%s: %zu recorder%s, no error\n", net::CleanPeerText(options.answerFile).c_str(), count,
                   count == 1 ? "" : "s");
    return kExitDone;
  }

  if (!CanReachNetwork(world)) return kExitCannotRun;
  if (!world.makePeer) {
    std::fprintf(world.err, "vrx-provision: no way to reach the recorders in this build\n");
    return kExitCannotRun;
  }
  // Before the first thread: every thread of the run then leaves the stop signals to the watch.
  if (world.watchSignals) SignalWatch::BlockStopSignals();

  const bool plan = options.mode == Mode::Plan;
  std::vector<std::string> macs;
  std::vector<int> indexes;
  for (const RecorderAnswer& r : read.plan->recorders) macs.push_back(r.mac), indexes.push_back(r.index);
  Report report;
  FileStreamBuffer outBuffer(world.out);
  std::ostream outStream(&outBuffer);
  if (options.json)
    report.Add(std::make_unique<JsonLinesSink>(outStream));
  else
    report.Add(std::make_unique<TerminalView>(
        world.out, TerminalView::Style{world.terminal, world.colour, options.quiet, world.rows, world.columns}, macs));
  if (options.reportFile) {
    std::string fault;
    std::FILE* file = OpenReportFile(*options.reportFile, fault);
    if (!file) {
      std::fprintf(world.err, "vrx-provision: %s\n", fault.c_str());
      return kExitUsage;
    }
    report.Add(std::make_unique<ReportFileSink>(file));
  }
  report.Start({plan ? "plan" : "apply", options.answerFile, read.sha256, UtcTimestamp(), macs, indexes});

  SiteSettings settings;
  settings.rules = {options.mode == Mode::Apply, options.allowFormat};
  settings.jobs = options.jobs;
  settings.recorderTimeout = std::chrono::seconds(options.recorderTimeoutSeconds);
  settings.failFast = options.failFast;
  SiteRunner runner(*read.plan, settings, world.makePeer, report);

  // The first signal stops the run at its recorders' next safe point; a second one ends the program at once,
  // after the report's last record.
  std::atomic<int> stopSignal{0};
  std::optional<SignalWatch> watch;
  if (world.watchSignals)
    watch.emplace([&](int signal, int count) {
      if (count == 1) {
        stopSignal.store(signal);
        runner.Interrupt();
        return;
      }
      const int code = SignalExitCode(stopSignal.load());
      report.End({{}, 0, 0, code, SignalName(stopSignal.load()), runner.FormatsRunning(), {}});
      std::fflush(nullptr);
      std::_Exit(code);
    });
  auto end = [&](int code) {
    if (const int signal = stopSignal.load()) code = SignalExitCode(signal);
    RunEnd last;
    last.exitCode = code;
    if (const int signal = stopSignal.load()) last.signal = SignalName(signal);
    last.formatsRunning = runner.FormatsRunning();
    report.End(last);
    return code;
  };

  RecorderLocks locks;
  if (world.lockRecorders) {
    std::string fault;
    const std::vector<RecorderLocks::Held> held = locks.Take(
        macs, plan, std::chrono::seconds(options.lockTimeoutSeconds),
        [&](const std::vector<RecorderLocks::Held>& others) {
          std::string who;
          for (const auto& h : others)
            who += (who.empty() ? "" : ", ") + h.mac + (h.pid ? " (pid " + std::to_string(h.pid) + ")" : "");
          std::fprintf(world.err, "vrx-provision: another run holds %s; waiting up to %d s (--lock-timeout)\n",
                       who.c_str(), options.lockTimeoutSeconds);
        },
        [&] { return stopSignal.load() != 0; }, fault);
    if (!fault.empty()) {
      std::fprintf(world.err, "vrx-provision: %s\n", fault.c_str());
      return end(kExitCannotRun);
    }
    if (!held.empty()) {
      if (!stopSignal.load()) {
        std::vector<std::string> taken;
        for (const auto& h : held) taken.push_back(h.mac);
        std::fprintf(world.err, "vrx-provision: another vrx-provision run still holds %s; nothing was done\n",
                     Joined(taken).c_str());
      }
      return end(kExitCannotRun);
    }
  }
  if (stopSignal.load()) return end(0);

  const std::vector<RecorderResult> results = runner.Run();
  return end(SiteExitCode(results, {options.detailedExitCode, plan, report.Tally().stepsWouldChange}));
}

}  // namespace vrx::provision
