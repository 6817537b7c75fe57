#pragma once
// What a run reports: one StepOutcome per step of each recorder, one RecorderResult per recorder. The report
// fans each event out to its sinks (the terminal view, JSON Lines to a file or standard output) under one lock,
// so recorders running side by side never interleave half lines.
//
// Nothing with a secret in it is ever handed to a report: outcomes carry step names, statuses and details that
// the runner composes from non-secret values (addresses, models, zone names, counts); the report cleans and
// bounds every detail before any sink sees it.
#include <array>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vrx::provision {

enum class StepStatus { Changed, Unchanged, WouldChange, Refused, Failed, Interrupted, Skipped };
// "changed", "unchanged", "would-change", "refused", "failed", "interrupted", "skipped"
const char* StatusName(StepStatus status);

struct StepOutcome {
  std::string recorder;  // the recorder's MAC
  std::string step;      // "discover", "password", ...
  StepStatus status = StepStatus::Unchanged;
  std::string detail;
  int index = 0;       // the recorder's place in the answer file, from 0
  std::string reason;  // a short machine word for why ("zone_differs", "no_answer", ...); empty when unchanged
  std::optional<std::string> before, after;  // the step's value before and after, as the report shows it
};

enum class RecorderVerdict { Done, Planned, Refused, Failed, Interrupted, Skipped };
// "done", "planned", "refused", "failed", "interrupted", "skipped"
const char* VerdictName(RecorderVerdict verdict);

struct RecorderResult {
  std::string recorder;
  RecorderVerdict verdict = RecorderVerdict::Done;
  int changed = 0;  // steps written (apply only)
  int unchanged = 0;
  double seconds = 0;
  std::string detail;  // why it was refused or failed; empty otherwise
  int index = 0;         // the recorder's place in the answer file, from 0
  int wouldChange = 0;   // steps that would change (plan), or that were not written because the run stopped
  std::string reason;    // a short machine word for why it was refused, failed or interrupted
};

inline constexpr int kVerdictCount = int(RecorderVerdict::Skipped) + 1;

// The run's first record: what ran, on which answer file, when.
struct RunStart {
  std::string mode;                    // "plan" or "apply"
  std::string answerFile;              // as given on the command line ("-": standard input)
  std::string answerSha256;            // of the text read
  std::string started;                 // UTC, ISO 8601 with Z
  std::vector<std::string> recorders;  // the MACs of the run, in the file's order
  std::vector<int> indexes;            // each one's place among the file's recorders (--limit leaves gaps)
};

// The run's last record: without it a report is visibly unfinished.
struct RunEnd {
  std::array<int, kVerdictCount> results{};  // recorders per verdict
  int stepsChanged = 0, stepsWouldChange = 0;
  int exitCode = 0;
  std::optional<std::string> signal;        // "SIGINT" or "SIGTERM" when one stopped the run
  std::vector<std::string> formatsRunning;  // recorders left formatting a disk on their own
  std::string ended;                        // UTC, ISO 8601 with Z
};

// The present time as the report writes it: "2026-12-11T13:05:09Z".
std::string UtcTimestamp();

// Where the events go. Called under the report's lock, from the recorders' threads.
class ReportSink {
 public:
  virtual ~ReportSink() = default;
  virtual void RunStarted(const RunStart& start) { (void)start; }
  virtual void RunEnded(const RunEnd& end) { (void)end; }
  virtual void StepStarted(const std::string& recorder, const std::string& step, int number, int count) {
    (void)recorder, (void)step, (void)number, (void)count;
  }
  virtual void StepEnded(const StepOutcome& outcome) = 0;
  virtual void RecorderEnded(const RecorderResult& result) = 0;
  virtual void Tick() {}      // about once a second while recorders run
  virtual void Finished() {}  // the run is over: the summary, if the sink has one
};

// A detail as every sink may print it: well-formed UTF-8 without control characters (a peer's words may be part
// of it), at most kMaxDetailBytes.
inline constexpr std::size_t kMaxDetailBytes = 512;
std::string Printable(const std::string& detail);
// A text cut to `width` bytes on a character boundary, with "..." when it was cut.
std::string FitText(const std::string& text, std::size_t width);

// The report fills in what it can tell better than a recorder's road: each record's index in the file, the
// changed and would-change counts from the step records themselves (so `changed` counts only writes), and, for a
// recorder the run stopped (a signal, its time limit, --fail-fast), the verdict and reason of that stop instead
// of the request it was cut in.
class Report {
 public:
  void Add(std::unique_ptr<ReportSink> sink);
  void Start(const RunStart& start);
  void StepStarted(const std::string& recorder, const std::string& step, int number, int count);
  void StepEnded(const StepOutcome& outcome);
  void RecorderEnded(const RecorderResult& result);
  // The run is stopping this recorder: a later failure of its road is this stop, named as such (`why`), not
  // blamed on the recorder.
  void Stopping(const std::string& recorder, RecorderVerdict verdict, const std::string& reason,
                const std::string& why);
  void Tick();
  void Finished();
  // The last record, once. `end` gives the exit code, signal and formats; the counts and the time are filled in.
  // Waits at most a second for a sink in the middle of a line (a second signal must not hang on it).
  void End(RunEnd end);
  // Counts so far (an end record written while recorders still run).
  RunEnd Tally() const;

 private:
  struct Counts {
    int changed = 0, wouldChange = 0;
  };
  mutable std::timed_mutex mutex_;
  std::vector<std::unique_ptr<ReportSink>> sinks_;
  std::map<std::string, int> indexes_;
  std::map<std::string, Counts> counts_;
  struct Stop {
    RecorderVerdict verdict;
    std::string reason, why;
  };
  std::map<std::string, Stop> stops_;
  RunEnd tally_;
  bool ended_ = false;
};

}  // namespace vrx::provision
