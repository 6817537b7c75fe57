#include "Report.h"

#include <ctime>

#include "net/PeerText.h"

namespace vrx::provision {

const char* StatusName(StepStatus status) {
  switch (status) {
    case StepStatus::Changed: return "changed";
    case StepStatus::Unchanged: return "unchanged";
    case StepStatus::WouldChange: return "would-change";
    case StepStatus::Refused: return "refused";
    case StepStatus::Failed: return "failed";
    case StepStatus::Interrupted: return "interrupted";
    case StepStatus::Skipped: return "skipped";
  }
  return "failed";
}

const char* VerdictName(RecorderVerdict verdict) {
  switch (verdict) {
    case RecorderVerdict::Done: return "done";
    case RecorderVerdict::Planned: return "planned";
    case RecorderVerdict::Refused: return "refused";
    case RecorderVerdict::Failed: return "failed";
    case RecorderVerdict::Interrupted: return "interrupted";
    case RecorderVerdict::Skipped: return "skipped";
  }
  return "failed";
}

std::string FitText(const std::string& text, std::size_t width) {
  if (text.size() <= width) return text;
  std::size_t end = width >= 3 ? width - 3 : 0;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;  // not inside a character
  return text.substr(0, end) + (width >= 3 ? "..." : "");
}

std::string Printable(const std::string& detail) { return FitText(net::CleanPeerText(detail), kMaxDetailBytes); }

std::string UtcTimestamp() {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  ::gmtime_r(&now, &utc);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return text;
}

void Report::Add(std::unique_ptr<ReportSink> sink) {
  std::lock_guard lock(mutex_);
  sinks_.push_back(std::move(sink));
}

void Report::Start(const RunStart& start) {
  std::lock_guard lock(mutex_);
  for (std::size_t i = 0; i < start.recorders.size(); ++i)
    indexes_[start.recorders[i]] = i < start.indexes.size() ? start.indexes[i] : int(i);
  for (auto& s : sinks_) s->RunStarted(start);
}

void Report::StepStarted(const std::string& recorder, const std::string& step, int number, int count) {
  std::lock_guard lock(mutex_);
  for (auto& s : sinks_) s->StepStarted(recorder, step, number, count);
}

void Report::Stopping(const std::string& recorder, RecorderVerdict verdict, const std::string& reason,
                      const std::string& why) {
  std::lock_guard lock(mutex_);
  stops_.emplace(recorder, Stop{verdict, reason, why});
}

void Report::StepEnded(const StepOutcome& outcome) {
  StepOutcome shown = outcome;
  shown.detail = Printable(outcome.detail);
  if (shown.before) shown.before = Printable(*shown.before);
  if (shown.after) shown.after = Printable(*shown.after);
  std::lock_guard lock(mutex_);
  if (const auto it = indexes_.find(outcome.recorder); it != indexes_.end()) shown.index = it->second;
  if (const auto stop = stops_.find(outcome.recorder); stop != stops_.end() && shown.status == StepStatus::Failed) {
    // The step ended because the run stopped it, whatever its request made of that.
    if (stop->second.verdict == RecorderVerdict::Interrupted) shown.status = StepStatus::Interrupted;
    shown.reason = stop->second.reason;
    shown.detail = Printable(stop->second.why + " (" + outcome.detail + ")");
  }
  Counts& counts = counts_[outcome.recorder];
  if (shown.status == StepStatus::Changed) ++counts.changed, ++tally_.stepsChanged;
  if (shown.status == StepStatus::WouldChange) ++counts.wouldChange, ++tally_.stepsWouldChange;
  for (auto& s : sinks_) s->StepEnded(shown);
}

void Report::RecorderEnded(const RecorderResult& result) {
  RecorderResult shown = result;
  shown.detail = Printable(result.detail);
  std::lock_guard lock(mutex_);
  if (const auto it = indexes_.find(result.recorder); it != indexes_.end()) shown.index = it->second;
  const auto stop = stops_.find(result.recorder);
  if (stop != stops_.end() && result.verdict != RecorderVerdict::Done && result.verdict != RecorderVerdict::Planned) {
    shown.verdict = stop->second.verdict;
    shown.reason = stop->second.reason;
    shown.detail = Printable(stop->second.why);
  }
  const Counts& counts = counts_[result.recorder];
  shown.changed = counts.changed;
  shown.wouldChange = counts.wouldChange;
  ++tally_.results[std::size_t(shown.verdict)];
  for (auto& s : sinks_) s->RecorderEnded(shown);
}

void Report::Tick() {
  std::lock_guard lock(mutex_);
  for (auto& s : sinks_) s->Tick();
}

void Report::Finished() {
  std::lock_guard lock(mutex_);
  for (auto& s : sinks_) s->Finished();
}

RunEnd Report::Tally() const {
  std::lock_guard lock(mutex_);
  return tally_;
}

void Report::End(RunEnd end) {
  // A sink stuck in the middle of a write (a full pipe) must not keep the last record from the others.
  std::unique_lock lock(mutex_, std::chrono::seconds(1));
  if (ended_) return;
  ended_ = true;
  end.results = tally_.results;
  end.stepsChanged = tally_.stepsChanged;
  end.stepsWouldChange = tally_.stepsWouldChange;
  end.ended = UtcTimestamp();
  for (auto& s : sinks_) s->RunEnded(end);
}

}  // namespace vrx::provision
