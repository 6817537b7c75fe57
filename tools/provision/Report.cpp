#include "Report.h"

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

void Report::Add(std::unique_ptr<ReportSink> sink) {
  std::lock_guard lock(mutex_);
  sinks_.push_back(std::move(sink));
}

void Report::StepStarted(const std::string& recorder, const std::string& step, int number, int count) {
  std::lock_guard lock(mutex_);
  for (auto& s : sinks_) s->StepStarted(recorder, step, number, count);
}

void Report::StepEnded(const StepOutcome& outcome) {
  StepOutcome shown = outcome;
  shown.detail = Printable(outcome.detail);
  std::lock_guard lock(mutex_);
  for (auto& s : sinks_) s->StepEnded(shown);
}

void Report::RecorderEnded(const RecorderResult& result) {
  RecorderResult shown = result;
  shown.detail = Printable(result.detail);
  std::lock_guard lock(mutex_);
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

}  // namespace vrx::provision
