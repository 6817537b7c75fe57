#include "ReportSinks.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>

namespace vrx::provision {

namespace {

std::string Seconds(double s) { return std::to_string(long(std::lround(s))) + "s"; }

std::string Pad(const std::string& text, std::size_t width) {
  std::string cut = FitText(text, width);
  if (cut.size() < width) cut.append(width - cut.size(), ' ');
  return cut;
}

}  // namespace

namespace {

void WriteLine(std::ostream& out, const nlohmann::ordered_json& line) {
  out << line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n' << std::flush;
}

nlohmann::ordered_json TextOrNull(const std::optional<std::string>& text) {
  return text ? nlohmann::ordered_json(*text) : nlohmann::ordered_json(nullptr);
}

}  // namespace

void JsonLinesSink::RunStarted(const RunStart& s) {
  WriteLine(out_, {{"type", "start"},
                   {"schema", kReportSchema},
                   {"program", "vrx-provision"},
                   {"version", VRX_VERSION},
                   {"mode", s.mode},
                   {"answer_file", s.answerFile},
                   {"answer_sha256", s.answerSha256},
                   {"started", s.started}});
}

void JsonLinesSink::StepEnded(const StepOutcome& o) {
  WriteLine(out_, {{"type", "step"},
                   {"recorder", o.recorder},
                   {"index", o.index},
                   {"step", o.step},
                   {"status", StatusName(o.status)},
                   {"reason", o.reason},
                   {"before", TextOrNull(o.before)},
                   {"after", TextOrNull(o.after)},
                   {"detail", o.detail}});
}

void JsonLinesSink::RecorderEnded(const RecorderResult& r) {
  WriteLine(out_, {{"type", "recorder"},
                   {"recorder", r.recorder},
                   {"index", r.index},
                   {"result", VerdictName(r.verdict)},
                   {"changed", r.changed},
                   {"would_change", r.wouldChange},
                   {"unchanged", r.unchanged},
                   {"seconds", std::round(r.seconds * 10) / 10},
                   {"reason", r.reason},
                   {"detail", r.detail}});
}

void JsonLinesSink::RunEnded(const RunEnd& e) {
  nlohmann::ordered_json results = nlohmann::ordered_json::object();
  for (int v = 0; v < kVerdictCount; ++v) results[VerdictName(RecorderVerdict(v))] = e.results[std::size_t(v)];
  WriteLine(out_, {{"type", "end"},
                   {"results", results},
                   {"steps_changed", e.stepsChanged},
                   {"steps_would_change", e.stepsWouldChange},
                   {"exit_code", e.exitCode},
                   {"signal", TextOrNull(e.signal)},
                   {"formats_running", e.formatsRunning},
                   {"ended", e.ended}});
}

TerminalView::TerminalView(std::FILE* out, Style style, std::vector<std::string> recorders)
    : out_(out), style_(style), live_(style.live && !style.quiet), order_(std::move(recorders)) {
  for (const std::string& r : order_) lines_[r];
}

std::string TerminalView::LiveText(const std::string& recorder, const Line& line) const {
  std::string text = recorder + "  ";
  if (!line.ended.empty()) {
    text += Pad(line.ended, 14) + "        " + Seconds(line.seconds);
  } else if (!line.started) {
    text += "waiting";
  } else {
    const double elapsed = std::chrono::duration<double>(Clock::now() - line.start).count();
    text += Pad(line.step, 14) + Pad(std::to_string(line.number) + " of " + std::to_string(line.count), 8) +
            Seconds(elapsed);
  }
  return FitText(text, kColumns - 1);
}

void TerminalView::Redraw() {
  if (!live_) return;
  if (drawn_) std::fprintf(out_, "\x1b[%zuA", order_.size());  // back to the first recorder's line
  for (const std::string& r : order_) std::fprintf(out_, "\r\x1b[2K%s\n", LiveText(r, lines_[r]).c_str());
  std::fflush(out_);
  drawn_ = true;
}

void TerminalView::StepStarted(const std::string& recorder, const std::string& step, int number, int count) {
  Line& line = lines_[recorder];
  if (!line.started) line.start = Clock::now(), line.started = true;
  line.step = step, line.number = number, line.count = count;
  Redraw();
}

void TerminalView::StepEnded(const StepOutcome& o) {
  if (live_) return;  // the live line shows the step; the summary tells what came of it
  if (style_.quiet && (o.status == StepStatus::Unchanged || o.status == StepStatus::Changed ||
                       o.status == StepStatus::WouldChange))
    return;
  // A line a log keeps: the detail whole, not cut to the terminal's width.
  std::fprintf(out_, "%s\n", (o.recorder + "  " + Pad(o.step, 10) + Pad(StatusName(o.status), 14) + o.detail).c_str());
  std::fflush(out_);
}

void TerminalView::RecorderEnded(const RecorderResult& r) {
  Line& line = lines_[r.recorder];
  line.ended = VerdictName(r.verdict);
  line.seconds = r.seconds;
  results_.push_back(r);
  if (live_) return Redraw();
  if (style_.quiet) return;  // the summary has it
  std::fprintf(out_, "%s\n",
               (r.recorder + "  " + VerdictName(r.verdict) + " in " + Seconds(r.seconds) +
                (r.detail.empty() ? "" : ": " + r.detail))
                   .c_str());
  std::fflush(out_);
}

void TerminalView::Tick() { Redraw(); }

void TerminalView::RunEnded(const RunEnd& end) {
  if (end.signal) std::fprintf(out_, "\nStopped by %s: no write was started after it.\n", end.signal->c_str());
  if (!end.formatsRunning.empty()) {
    std::string macs;
    for (const std::string& mac : end.formatsRunning) macs += (macs.empty() ? "" : ", ") + mac;
    std::fprintf(out_,
                 "Still formatting on the recorder itself: %s. Leave %s powered on until the format ends; "
                 "a later apply goes on from there.\n",
                 macs.c_str(), end.formatsRunning.size() == 1 ? "it" : "them");
  }
  std::fflush(out_);
}

void TerminalView::Finished() {
  Redraw();
  std::fprintf(out_, "\nRECORDER           RESULT    CHANGED  UNCHANGED  TIME  DETAIL\n");
  for (const std::string& recorder : order_) {
    const auto r =
        std::find_if(results_.begin(), results_.end(), [&](const RecorderResult& x) { return x.recorder == recorder; });
    if (r == results_.end()) {
      std::fprintf(out_, "%s  not run\n", recorder.c_str());
      continue;
    }
    const std::string row = Pad(recorder, 19) + Pad(VerdictName(r->verdict), 10) + Pad(std::to_string(r->changed), 9) +
                            Pad(std::to_string(r->unchanged), 11) + Pad(Seconds(r->seconds), 6) + r->detail;
    std::fprintf(out_, "%s\n", row.c_str());  // the detail whole: the reason a recorder was refused
  }
  std::fflush(out_);
}

}  // namespace vrx::provision
