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

std::string TerminalView::DiffLine(const StepOutcome& o) {
  char mark = ' ';
  switch (o.status) {
    case StepStatus::Refused: mark = '!'; break;
    case StepStatus::Failed: mark = 'x'; break;
    case StepStatus::Interrupted:
    case StepStatus::Skipped: mark = '^'; break;
    case StepStatus::Changed:
    case StepStatus::WouldChange:
      if (o.before && !o.after) mark = '-';
      else if (!o.before && o.after) mark = '+';
      else if (o.before && o.after) mark = '~';
      else mark = o.detail.rfind("add ", 0) == 0 ? '+' : o.detail.rfind("remove ", 0) == 0 ? '-' : '~';
      break;
    case StepStatus::Unchanged: break;
  }
  std::string text = std::string(1, mark) + " " + Pad(o.step, 10);
  if (o.before || o.after) {
    text += (o.before ? *o.before : std::string("(none)")) + " -> " + (o.after ? *o.after : std::string("(none)"));
    if (!o.detail.empty()) text += "  (" + o.detail + ")";
  } else {
    if (o.status == StepStatus::Refused) text += "refused: ";
    if (o.status == StepStatus::Failed) text += "failed: ";
    if (o.status == StepStatus::Interrupted) text += "stopped: ";
    text += o.detail;
  }
  return text;
}

std::string TerminalView::Coloured(const std::string& text, char mark) const {
  if (!style_.colour) return text;
  const char* colour = mark == '+' ? "32" : mark == '~' ? "33" : mark == '-' || mark == 'x' ? "31"
                       : mark == '!' || mark == '^'                            ? "35"
                                                                               : nullptr;
  return colour ? std::string("\x1b[") + colour + "m" + text + "\x1b[0m" : text;
}

std::string TerminalView::LiveText(const std::string& recorder, const Line& line) const {
  std::string text = recorder + "  ";
  if (!line.ended.empty()) {
    text += Pad(line.ended, 22) + "        " + Seconds(line.seconds);
  } else if (!line.started) {
    text += "waiting";
  } else {
    const double elapsed = std::chrono::duration<double>(Clock::now() - line.start).count();
    text += Pad(line.phase, 7) + Pad(line.step, 15) + Pad(std::to_string(line.number) + " of " + std::to_string(line.count), 8) +
            Seconds(elapsed);
  }
  return FitText(text, std::size_t(std::max(style_.columns, 20) - 1));
}

std::string TerminalView::SummaryText() const {
  int waiting = 0, surveying = 0, applying = 0;
  std::map<std::string, int> ended;
  for (const std::string& r : order_) {
    const Line& line = lines_.at(r);
    if (!line.ended.empty()) ++ended[line.ended];
    else if (!line.started) ++waiting;
    else ++(line.phase == "apply" ? applying : surveying);
  }
  std::string text = std::to_string(order_.size()) + " recorders: " + std::to_string(surveying) + " in survey, " +
                     std::to_string(applying) + " in apply, " + std::to_string(waiting) + " waiting";
  for (const auto& [verdict, n] : ended) text += ", " + std::to_string(n) + " " + verdict;
  return FitText(text, std::size_t(std::max(style_.columns, 20) - 1));
}

void TerminalView::Redraw() {
  if (!live_) return;
  if (drawnLines_) std::fprintf(out_, "\x1b[%dA", drawnLines_);  // back to the first line drawn
  // More recorders than the screen holds would scroll the lines away and leave copies behind: one line then.
  if (int(order_.size()) + 2 > style_.rows) {
    std::fprintf(out_, "\r\x1b[2K%s\n", SummaryText().c_str());
    drawnLines_ = 1;
  } else {
    for (const std::string& r : order_) std::fprintf(out_, "\r\x1b[2K%s\n", LiveText(r, lines_[r]).c_str());
    drawnLines_ = int(order_.size());
  }
  std::fflush(out_);
}

void TerminalView::StepStarted(const std::string& recorder, const std::string& step, int number, int count) {
  Line& line = lines_[recorder];
  if (!line.started) line.start = Clock::now(), line.started = true;
  // The survey reads every step in order; the writes that follow start again from an earlier step.
  if (line.number && number <= line.number) line.phase = "apply";
  line.step = step, line.number = number, line.count = count;
  Redraw();
}

void TerminalView::StepEnded(const StepOutcome& o) {
  lines_[o.recorder].steps.push_back(o);
  if (live_) return;  // the diff at the end shows it
  if (style_.quiet && (o.status == StepStatus::Unchanged || o.status == StepStatus::Changed ||
                       o.status == StepStatus::WouldChange))
    return;
  // A line a log keeps: the detail whole, not cut to the terminal's width.
  std::string text = o.recorder + "  " + Pad(o.step, 10) + Pad(StatusName(o.status), 14) + o.detail;
  if (o.before || o.after)
    text += "  [" + (o.before ? *o.before : std::string("none")) + " -> " + (o.after ? *o.after : std::string("none")) + "]";
  std::fprintf(out_, "%s\n", text.c_str());
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

void TerminalView::Finished() {
  Redraw();
  if (live_) {
    // The diff, recorders in the file's order: what changes (or would), and what was refused, failed or stopped.
    std::fputc('\n', out_);
    for (const std::string& recorder : order_) {
      const Line& line = lines_[recorder];
      std::vector<std::string> shown;
      for (const StepOutcome& o : line.steps)
        if (o.status != StepStatus::Unchanged) shown.push_back(DiffLine(o));
      const std::string verdict = line.ended.empty() ? "not run" : line.ended;
      std::fprintf(out_, "%s  %s%s\n", recorder.c_str(), verdict.c_str(),
                   shown.empty() ? ": nothing to change" : "");
      for (const std::string& text : shown)
        std::fprintf(out_, "    %s\n", Coloured(FitText(text, std::size_t(std::max(style_.columns, 40) - 5)), text[0]).c_str());
    }
  }
  std::fprintf(out_, "\nRECORDER           RESULT       CHANGED  TO CHANGE  UNCHANGED  TIME  DETAIL\n");
  for (const std::string& recorder : order_) {
    const auto r =
        std::find_if(results_.begin(), results_.end(), [&](const RecorderResult& x) { return x.recorder == recorder; });
    if (r == results_.end()) {
      std::fprintf(out_, "%s  not run\n", recorder.c_str());
      continue;
    }
    const std::string row = Pad(recorder, 19) + Pad(VerdictName(r->verdict), 13) + Pad(std::to_string(r->changed), 9) +
                            Pad(std::to_string(r->wouldChange), 11) + Pad(std::to_string(r->unchanged), 11) +
                            Pad(Seconds(r->seconds), 6) + r->detail;
    std::fprintf(out_, "%s\n", row.c_str());  // the detail whole: the reason a recorder was refused
  }
  std::fflush(out_);
}

void TerminalView::RunEnded(const RunEnd& end) {
  if (end.signal) std::fprintf(out_, "\nStopped by %s: no request was started after it.\n", end.signal->c_str());
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

}  // namespace vrx::provision
