#pragma once
// Which of the six languages the wizard starts in: the one asked for on the command line, else the desktop's
// own language when it is one of the six, else English. The welcome page still changes it.
//
// The desktop's language follows the usual order of a program's message language: the LANGUAGE list (names
// separated by ":", the first one of the six wins), then the locale of messages (LC_ALL, else LC_MESSAGES,
// else LANG). A "C" or "POSIX" locale means English whatever LANGUAGE says.
#include <string>

#include "program/CommandLine.h"

namespace vrx {

struct LocaleEnvironment {
  std::string language;    // LANGUAGE
  std::string lcAll;       // LC_ALL
  std::string lcMessages;  // LC_MESSAGES
  std::string lang;        // LANG
};

// The environment of this process.
LocaleEnvironment CurrentLocaleEnvironment();

// Index 0..5 of the desktop's language, 0 (English) when it is none of the six.
int DesktopLanguage(const LocaleEnvironment& env);

// --language when given, else the desktop's language.
int StartLanguageFor(const CommandLine& line, const LocaleEnvironment& env);

}  // namespace vrx
