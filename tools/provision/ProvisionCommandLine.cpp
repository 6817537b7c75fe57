#include "ProvisionCommandLine.h"

#include <charconv>
#include <utility>

#ifndef VRX_VERSION
#error "VRX_VERSION comes from the project's version (CMake)"
#endif

namespace vrx::provision {

namespace {

constexpr const char* kHelp =
    "Usage: vrx-provision check FILE\n"
    "       vrx-provision plan FILE [options]\n"
    "       vrx-provision apply FILE [--allow-format] [options]\n"
    "       vrx-provision --help | --version\n"
    "\n"
    "Sets up VRX-410Q recorders without a person at the screen, from a TOML\n"
    "answer file (one [[recorder]] table per recorder, found by its MAC).\n"
    "\n"
    "check     reads the answer file and its secrets and lists every error as\n"
    "          FILE:LINE:COL: key: message; no device is touched\n"
    "plan      finds each recorder and reads its state; says what apply would\n"
    "          change and what it would refuse; nothing is written\n"
    "apply     checks each recorder against the file, then sets it up; a second\n"
    "          apply of the same file changes nothing\n"
    "\n"
    "--allow-format            lets apply format the disks the file lists (with\n"
    "                          plan: says what such an apply would format)\n"
    "--jobs N                  recorders at the same time (default 4)\n"
    "--recorder-timeout SECS   time limit of one recorder (default 900)\n"
    "--fail-fast               stops the others when one recorder fails\n"
    "--report FILE             writes the report as JSON Lines to FILE\n"
    "--json                    writes the report as JSON Lines to standard\n"
    "                          output instead of the terminal view\n"
    "--help                    prints this text\n"
    "--version                 prints the version\n"
    "\n"
    "Secrets come from files readable by their owner alone (*_file) or from the\n"
    "environment (*_env); they never appear in the report or on the terminal.\n"
    "\n"
    "Exit codes: 0 done or nothing to do, 1 a recorder failed or was refused,\n"
    "2 a bad command line or answer file, 3 could not run (no network).\n";

ProvisionCommandLine Refuse(std::string why) {
  ProvisionCommandLine line;
  line.action = ProvisionCommandLine::Action::Refuse;
  line.error = std::move(why);
  return line;
}

std::optional<int> WholeNumber(const std::string& text, int low, int high) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) return std::nullopt;
  return value;
}

struct ModeName {
  const char* name;
  Mode mode;
};
constexpr ModeName kModes[] = {{"check", Mode::Check}, {"plan", Mode::Plan}, {"apply", Mode::Apply}};

// The options that take a whole number from 1 up.
struct NumberOption {
  const char* name;
  const char* unit;
  int high;
  int RunOptions::*field;
};
constexpr NumberOption kNumberOptions[] = {
    {"--jobs", "a number", kMaxJobs, &RunOptions::jobs},
    {"--recorder-timeout", "seconds", kMaxRecorderTimeoutSeconds, &RunOptions::recorderTimeoutSeconds},
};

const NumberOption* FindNumberOption(const std::string& name) {
  for (const NumberOption& option : kNumberOptions)
    if (name == option.name) return &option;
  return nullptr;
}

}  // namespace

ProvisionCommandLine ParseProvisionCommandLine(const std::vector<std::string>& args) {
  ProvisionCommandLine line;
  if (args.empty()) return Refuse("say check, plan or apply, and the answer file");
  for (const std::string& a : args) {
    if (a == "--help" || a == "-h") {
      line.action = ProvisionCommandLine::Action::ShowHelp;
      return line;
    }
    if (a == "--version") {
      line.action = ProvisionCommandLine::Action::ShowVersion;
      return line;
    }
  }
  bool modeGiven = false;
  RunOptions& o = line.options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    if (a == "--allow-format") {
      o.allowFormat = true;
    } else if (a == "--fail-fast") {
      o.failFast = true;
    } else if (a == "--json") {
      o.json = true;
    } else if (const NumberOption* option = FindNumberOption(a)) {
      const auto v = value();
      if (!v) return Refuse(a + " needs " + option->unit);
      const auto n = WholeNumber(*v, 1, option->high);
      if (!n) return Refuse(a + " takes " + option->unit + " from 1 to " + std::to_string(option->high));
      o.*(option->field) = *n;
    } else if (a == "--report") {
      const auto v = value();
      if (!v || v->empty()) return Refuse("--report needs a file name");
      o.reportFile = *v;
    } else if (a.size() > 1 && a[0] == '-') {
      return Refuse("unknown option '" + a + "'");
    } else if (!modeGiven) {
      bool known = false;
      for (const ModeName& m : kModes)
        if (a == m.name) o.mode = m.mode, known = true;
      if (!known) return Refuse("unknown mode '" + a + "' (check, plan or apply)");
      modeGiven = true;
    } else if (o.answerFile.empty()) {
      o.answerFile = a;
    } else {
      return Refuse("one answer file only ('" + a + "' is one too many)");
    }
  }
  if (!modeGiven) return Refuse("say check, plan or apply");
  if (o.answerFile.empty()) return Refuse("the answer file is missing");
  if (o.mode == Mode::Check && (o.allowFormat || o.reportFile || o.json))
    return Refuse("check takes only the answer file");
  return line;
}

std::string ProvisionHelpText() { return kHelp; }

std::string ProvisionVersionText() { return std::string("vrx-provision ") + VRX_VERSION; }

}  // namespace vrx::provision
