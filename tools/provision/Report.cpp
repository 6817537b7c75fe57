#include "Report.h"

namespace vrx::provision {

const char* StatusName(StepStatus status) {
  switch (status) {
    case StepStatus::Changed: return "changed";
    case StepStatus::Unchanged: return "unchanged";
    case StepStatus::WouldChange: return "would-change";
    case StepStatus::Refused: return "refused";
    case StepStatus::Failed: return "failed";
  }
  return "failed";
}

const char* VerdictName(RecorderVerdict verdict) {
  switch (verdict) {
    case RecorderVerdict::Done: return "done";
    case RecorderVerdict::Planned: return "planned";
    case RecorderVerdict::Refused: return "refused";
    case RecorderVerdict::Failed: return "failed";
  }
  return "failed";
}

void Report::Add(std::unique_ptr<ReportSink> sink) {
  std::lock_guard lock(mutex_);
  sinks_.push_back(std::move(sink));
}

void Report::StepStarted(const std::string& recorder, const std::string& step, int number, int count) {
  std::lock_guard lock(mutex_);
  for (auto& s : sinks_) s->StepStarted(recorder, step, number, count);
}

void Report::StepEnded(const StepOutcome& outcome) {
  std::lock_guard lock(mutex_);
  for (auto& s : sinks_) s->StepEnded(outcome);
}

void Report::RecorderEnded(const RecorderResult& result) {
  std::lock_guard lock(mutex_);
  for (auto& s : sinks_) s->RecorderEnded(result);
}

void Report::Tick() {
  std::lock_guard lock(mutex_);
  for (auto& s : sinks_) s->Tick();
}

void Report::Finished() {
  std::lock_guard lock(mutex_);
  for (auto& s : sinks_) s->Finished();
}

}  // namespace vrx::provision
