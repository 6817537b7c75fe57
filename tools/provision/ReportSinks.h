#pragma once
// The report's two faces: JSON Lines for automation (one object per step, one result per recorder), and the
// terminal view for a person (a live line per recorder on a terminal, plain lines otherwise, and a summary
// table at the end).
#include <chrono>
#include <cstdio>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "Report.h"

namespace vrx::provision {

// One JSON object a line, each with its "type": "start" first, then "step" and "recorder" records as they come,
// "end" last (a report without it is unfinished). The report's schema version is kReportSchema.
class JsonLinesSink : public ReportSink {
 public:
  explicit JsonLinesSink(std::ostream& out) : out_(out) {}
  void RunStarted(const RunStart& start) override;
  void StepEnded(const StepOutcome& outcome) override;
  void RecorderEnded(const RecorderResult& result) override;
  void RunEnded(const RunEnd& end) override;

  static constexpr int kReportSchema = 2;

 private:
  std::ostream& out_;
};

// What a person reads. On a terminal (live): one line per recorder redrawn in place, naming its phase (survey,
// then apply), its step and the time so far; when the recorders outnumber the screen's rows, one summary line
// instead. At the end, in the file's order, each recorder's steps that change, changed, were refused, failed or
// were stopped, in a diff-like form with a mark per kind, then a summary table. Elsewhere (a pipe, a log): one
// plain line per event, the detail whole, then the same summary.
class TerminalView : public ReportSink {
 public:
  using Clock = std::chrono::steady_clock;
  struct Style {
    bool live = false;    // redraw one line per recorder in place (a terminal); else one plain line per event
    bool colour = false;  // marks in colour (a terminal without NO_COLOR)
    bool quiet = false;   // only what was refused, failed or stopped, and the summary
    int rows = 24;        // the terminal's size
    int columns = 80;
  };
  TerminalView(std::FILE* out, Style style, std::vector<std::string> recorders);
  void StepStarted(const std::string& recorder, const std::string& step, int number, int count) override;
  void StepEnded(const StepOutcome& outcome) override;
  void RecorderEnded(const RecorderResult& result) override;
  void Tick() override;
  void Finished() override;
  void RunEnded(const RunEnd& end) override;

  // One step as the diff shows it: its mark ("+" add, "-" remove, "~" change, "!" refused, "x" failed, "^"
  // stopped; " " unchanged), its name and what changes. Plain text, no colour.
  static std::string DiffLine(const StepOutcome& outcome);

 private:
  struct Line {
    std::string step = "waiting";
    std::string phase = "survey";  // "survey" until the step numbers start again: "apply"
    int number = 0, count = 0;
    bool started = false;
    Clock::time_point start;
    std::string ended;  // the verdict once the recorder is done
    double seconds = 0;
    std::vector<StepOutcome> steps;
  };
  void Redraw();
  std::string LiveText(const std::string& recorder, const Line& line) const;
  std::string SummaryText() const;  // the one line when the recorders do not fit
  std::string Coloured(const std::string& text, char mark) const;

  std::FILE* out_;
  const Style style_;
  const bool live_;
  const std::vector<std::string> order_;
  std::map<std::string, Line> lines_;
  std::vector<RecorderResult> results_;
  int drawnLines_ = 0;
};

}  // namespace vrx::provision
