#include "program/DesktopLanguage.h"

#include <cstdlib>
#include <sstream>

namespace vrx {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool IsPlainCLocale(const std::string& locale) {
  const std::string name = locale.substr(0, locale.find_first_of(".@"));
  return name == "C" || name == "POSIX";
}

}  // namespace

LocaleEnvironment CurrentLocaleEnvironment() {
  return {Env("LANGUAGE"), Env("LC_ALL"), Env("LC_MESSAGES"), Env("LANG")};
}

int DesktopLanguage(const LocaleEnvironment& env) {
  const std::string& locale = !env.lcAll.empty() ? env.lcAll : !env.lcMessages.empty() ? env.lcMessages : env.lang;
  if (IsPlainCLocale(locale)) return 0;
  std::istringstream list(env.language);
  for (std::string name; std::getline(list, name, ':');) {
    const int index = LanguageIndexOfCode(name);
    if (index >= 0) return index;
  }
  const int index = LanguageIndexOfCode(locale);
  return index >= 0 ? index : 0;
}

int StartLanguageFor(const CommandLine& line, const LocaleEnvironment& env) {
  return line.language >= 0 ? line.language : DesktopLanguage(env);
}

}  // namespace vrx
