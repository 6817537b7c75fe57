#include "ProvisionProgram.h"

#include <sys/stat.h>

#include <fstream>
#include <iostream>
#include <memory>

#include "ReportSinks.h"

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

// A sink that owns the stream it writes to.
class OwningJsonSink : public ReportSink {
 public:
  explicit OwningJsonSink(std::unique_ptr<std::ostream> out) : out_(std::move(out)), sink_(*out_) {}
  void StepEnded(const StepOutcome& o) override { sink_.StepEnded(o); }
  void RecorderEnded(const RecorderResult& r) override { sink_.RecorderEnded(r); }

 private:
  std::unique_ptr<std::ostream> out_;
  JsonLinesSink sink_;
};

int Check(const RunOptions& options, const ProgramWorld& world, const AnswerFileResult& read) {
  (void)options;
  const std::size_t count = read.plan->recorders.size();
  std::fprintf(world.out, "%s: %zu recorder%s, no error\n", options.answerFile.c_str(), count, count == 1 ? "" : "s");
  return kExitDone;
}

}  // namespace

int RunProvision(const RunOptions& options, const ProgramWorld& world) {
  const AnswerFileResult read = ReadAnswerFile(options.answerFile, world.environment);
  if (!read.errors.empty()) {
    for (const AnswerError& e : read.errors)
      std::fprintf(world.err, "%s\n", FormatAnswerError(options.answerFile, e).c_str());
    return kExitUsage;
  }
  if (options.mode == Mode::Check) return Check(options, world, read);

  if (!world.networkLayer || !world.networkLayer()) {
    std::fprintf(world.err, "vrx-provision: the network layer (libcurl) cannot be loaded\n");
    return kExitCannotRun;
  }
  if (!world.adapters || world.adapters().empty()) {
    std::fprintf(world.err, "vrx-provision: this computer has no IPv4 address to search from\n");
    return kExitCannotRun;
  }
  if (!world.makePeer) {
    std::fprintf(world.err, "vrx-provision: no way to reach the recorders in this build\n");
    return kExitCannotRun;
  }

  Report report;
  std::vector<std::string> macs;
  for (const RecorderAnswer& r : read.plan->recorders) macs.push_back(r.mac);
  FileStreamBuffer outBuffer(world.out);
  std::ostream outStream(&outBuffer);
  if (options.json)
    report.Add(std::make_unique<JsonLinesSink>(outStream));
  else
    report.Add(std::make_unique<TerminalView>(world.out, world.terminal, macs));
  if (options.reportFile) {
    auto file = std::make_unique<std::ofstream>(*options.reportFile, std::ios::trunc);
    if (!*file) {
      std::fprintf(world.err, "vrx-provision: cannot write the report to %s\n", options.reportFile->c_str());
      return kExitUsage;
    }
    report.Add(std::make_unique<OwningJsonSink>(std::move(file)));
  }

  SiteSettings settings;
  settings.rules = {options.mode == Mode::Apply, options.allowFormat};
  settings.jobs = options.jobs;
  settings.recorderTimeout = std::chrono::seconds(options.recorderTimeoutSeconds);
  settings.failFast = options.failFast;
  SiteRunner runner(*read.plan, settings, world.makePeer, report);
  return SiteExitCode(runner.Run());
}

}  // namespace vrx::provision
