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

void JsonLinesSink::StepEnded(const StepOutcome& o) {
  const nlohmann::ordered_json line = {
      {"recorder", o.recorder}, {"step", o.step}, {"status", StatusName(o.status)}, {"detail", o.detail}};
  out_ << line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n' << std::flush;
}

void JsonLinesSink::RecorderEnded(const RecorderResult& r) {
  const nlohmann::ordered_json line = {
      {"recorder", r.recorder},   {"result", VerdictName(r.verdict)},           {"changed", r.changed},
      {"unchanged", r.unchanged}, {"seconds", std::round(r.seconds * 10) / 10}, {"detail", r.detail}};
  out_ << line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n' << std::flush;
}

TerminalView::TerminalView(std::FILE* out, bool live, std::vector<std::string> recorders)
    : out_(out), live_(live), order_(std::move(recorders)) {
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
  std::fprintf(out_, "%s\n",
               (r.recorder + "  " + VerdictName(r.verdict) + " in " + Seconds(r.seconds) +
                (r.detail.empty() ? "" : ": " + r.detail))
                   .c_str());
  std::fflush(out_);
}

void TerminalView::Tick() { Redraw(); }

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
