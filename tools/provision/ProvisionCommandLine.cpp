#include "ProvisionCommandLine.h"

#include <charconv>
#include <utility>

#include "net/DiscoveryProtocol.h"

#ifndef VRX_VERSION
#error "VRX_VERSION comes from the project's version (CMake)"
#endif

namespace vrx::provision {

namespace {

constexpr const char* kHelp =
    "Usage: vrx-provision check FILE|- [--json] [--secrets FILE|-] [--base-dir DIR]\n"
    "       vrx-provision plan FILE|- [options]\n"
    "       vrx-provision apply FILE|- [--allow-format] [options]\n"
    "       vrx-provision survey [--json] [--write FILE] [--zones] [--limit MACS]\n"
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
    "survey    lists the recorders that answer on the LAN; reads only, needs no\n"
    "          password\n"
    "\n"
    "FILE - reads the answer file from standard input.\n"
    "\n"
    "--allow-format            lets apply format the disks the file lists (with\n"
    "                          plan: says what such an apply would format)\n"
    "--jobs N                  recorders at the same time (default 4)\n"
    "--recorder-timeout SECS   time limit of one recorder (default 900)\n"
    "--fail-fast               stops the others when one recorder fails\n"
    "--limit MAC[,MAC...]      only these recorders of the file\n"
    "--lock-timeout SECS       how long to wait for recorders another run\n"
    "                          holds (default 60; 0: do not wait)\n"
    "--report FILE             writes the report as JSON Lines to FILE\n"
    "--json                    JSON Lines on standard output instead of the\n"
    "                          terminal view (check: its errors)\n"
    "--quiet                   prints only what went wrong and the summary\n"
    "--detailed-exitcode       4: plan has changes pending, 5: refused only\n"
    "--secrets FILE|-          NAME = \"value\" lines for the file's *_env names\n"
    "--base-dir DIR            where relative *_file paths start when FILE is -\n"
    "--write FILE              survey: an answer file to fill in\n"
    "--zones                   survey: the zone names each recorder accepts\n"
    "--help                    prints this text\n"
    "--version                 prints the version\n"
    "Each option's value may also follow \"=\" (--jobs=8).\n"
    "\n"
    "Secrets come from files readable by their owner alone (*_file), from\n"
    "--secrets or from the environment (*_env); they never appear in the report\n"
    "or on the terminal.\n"
    "\n"
    "Exit codes: 0 done or nothing to do, 1 a recorder failed or was refused,\n"
    "2 a bad command line or answer file, 3 could not run, 130/143 stopped by\n"
    "SIGINT/SIGTERM.\n"
    "\n"
    "The manual page tells the rest: man vrx-provision\n";

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
constexpr ModeName kModes[] = {
    {"check", Mode::Check}, {"plan", Mode::Plan}, {"apply", Mode::Apply}, {"survey", Mode::Survey}};

// Which modes an option belongs to.
enum ModeMask : unsigned {
  kCheck = 1u << int(Mode::Check),
  kPlan = 1u << int(Mode::Plan),
  kApply = 1u << int(Mode::Apply),
  kSurvey = 1u << int(Mode::Survey),
  kRun = kPlan | kApply,
};

struct FlagOption {
  const char* name;
  unsigned modes;
  bool RunOptions::*field;
};
constexpr FlagOption kFlags[] = {
    {"--allow-format", kRun, &RunOptions::allowFormat},
    {"--fail-fast", kRun, &RunOptions::failFast},
    {"--json", kRun | kCheck | kSurvey, &RunOptions::json},
    {"--quiet", kRun, &RunOptions::quiet},
    {"--detailed-exitcode", kRun, &RunOptions::detailedExitCode},
    {"--zones", kSurvey, &RunOptions::zones},
};

struct NumberOption {
  const char* name;
  unsigned modes;
  const char* unit;
  int low, high;
  int RunOptions::*field;
};
constexpr NumberOption kNumbers[] = {
    {"--jobs", kRun, "a number", 1, kMaxJobs, &RunOptions::jobs},
    {"--recorder-timeout", kRun, "seconds", 1, kMaxRecorderTimeoutSeconds, &RunOptions::recorderTimeoutSeconds},
    {"--lock-timeout", kRun, "seconds", 0, kMaxLockTimeoutSeconds, &RunOptions::lockTimeoutSeconds},
};

struct TextOption {
  const char* name;
  unsigned modes;
  const char* what;
  std::optional<std::string> RunOptions::*field;
};
constexpr TextOption kTexts[] = {
    {"--report", kRun, "a file name", &RunOptions::reportFile},
    {"--base-dir", kRun | kCheck, "a folder", &RunOptions::baseDir},
    {"--secrets", kRun | kCheck, "a file name or -", &RunOptions::secretsFile},
    {"--write", kSurvey, "a file name", &RunOptions::writeFile},
};

template <class T, std::size_t N>
const T* Find(const T (&table)[N], const std::string& name) {
  for (const T& option : table)
    if (name == option.name) return &option;
  return nullptr;
}

// "--limit a,b": each a MAC, kept in the program's own spelling.
std::optional<std::vector<std::string>> MacList(const std::string& text) {
  std::vector<std::string> macs;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const std::string part = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    const auto bytes = net::ParseMacText(part);
    if (!bytes) return std::nullopt;
    macs.push_back(net::FormatMac(bytes->data()));
    if (comma == std::string::npos) return macs;
    start = comma + 1;
  }
}

// The modes an option belongs to; 0 for a word that is no option.
unsigned ModesOf(const std::string& name) {
  if (const FlagOption* f = Find(kFlags, name)) return f->modes;
  if (const NumberOption* n = Find(kNumbers, name)) return n->modes;
  if (const TextOption* t = Find(kTexts, name)) return t->modes;
  return name == "--limit" ? kRun | kSurvey : 0;
}

const char* ModeWord(Mode mode) {
  for (const ModeName& m : kModes)
    if (m.mode == mode) return m.name;
  return "";
}

}  // namespace

ProvisionCommandLine ParseProvisionCommandLine(const std::vector<std::string>& args) {
  ProvisionCommandLine line;
  if (args.empty()) return Refuse("say check, plan, apply or survey, and the answer file");
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
  bool modeGiven = false, fileGiven = false;
  RunOptions& o = line.options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string a = args[i];
    std::optional<std::string> attached;  // --name=value
    if (a.rfind("--", 0) == 0)
      if (const std::size_t eq = a.find('='); eq != std::string::npos) attached = a.substr(eq + 1), a.resize(eq);
    auto value = [&]() -> std::optional<std::string> {
      if (attached) return attached;
      if (i + 1 >= args.size()) return std::nullopt;
      return args[++i];
    };
    if (const FlagOption* flag = Find(kFlags, a)) {
      if (attached) return Refuse(a + " takes no value");
      o.*(flag->field) = true;
    } else if (const NumberOption* option = Find(kNumbers, a)) {
      const auto v = value();
      if (!v) return Refuse(a + " needs " + option->unit);
      const auto n = WholeNumber(*v, option->low, option->high);
      if (!n)
        return Refuse(a + " takes " + option->unit + " from " + std::to_string(option->low) + " to " +
                      std::to_string(option->high));
      o.*(option->field) = *n;
    } else if (const TextOption* text = Find(kTexts, a)) {
      const auto v = value();
      if (!v || v->empty()) return Refuse(a + " needs " + text->what);
      o.*(text->field) = *v;
    } else if (a == "--limit") {
      const auto v = value();
      if (!v || v->empty()) return Refuse("--limit needs MAC[,MAC...]");
      auto macs = MacList(*v);
      if (!macs) return Refuse("--limit takes MACs separated by \",\" (00:1d:4f:a1:00:01,...)");
      o.limit.insert(o.limit.end(), macs->begin(), macs->end());
    } else if (a.size() > 1 && a[0] == '-') {
      return Refuse("unknown option '" + a + "'");
    } else if (!modeGiven) {
      bool known = false;
      for (const ModeName& m : kModes)
        if (a == m.name) o.mode = m.mode, known = true;
      if (!known) return Refuse("unknown mode '" + a + "' (check, plan, apply or survey)");
      modeGiven = true;
    } else if (!fileGiven && o.mode != Mode::Survey) {
      o.answerFile = a;
      fileGiven = true;
    } else if (o.mode == Mode::Survey) {
      return Refuse("survey reads no answer file ('" + a + "')");
    } else {
      return Refuse("one answer file only ('" + a + "' is one too many)");
    }
  }
  if (!modeGiven) return Refuse("say check, plan, apply or survey");
  if (o.mode != Mode::Survey && !fileGiven) return Refuse("the answer file is missing");
  for (const std::string& a : args) {
    const std::string name = a.substr(0, a.find('='));
    if (const unsigned modes = ModesOf(name); modes && !(modes & (1u << int(o.mode))))
      return Refuse(std::string(ModeWord(o.mode)) + " does not take " + name);
  }
  if (o.secretsFile == "-" && o.answerFile == "-")
    return Refuse("--secrets - and the answer file - cannot both come from standard input");
  if (o.baseDir && o.answerFile != "-") return Refuse("--base-dir is for an answer file read from standard input (-)");
  return line;
}

std::string ProvisionHelpText() { return kHelp; }

std::string ProvisionVersionText() { return std::string("vrx-provision ") + VRX_VERSION; }

}  // namespace vrx::provision
