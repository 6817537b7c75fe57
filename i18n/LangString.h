#pragma once
// Text lookup for everything the wizard shows: a key, its built-in English text and up to four values.
// The current language's file is extracted from the program's resources into a private folder of this run
// (made inside the temporary folder, mode 0700) and every lookup reads it from there (parsed once per file
// version, see LangString.cpp). Only files this run wrote are ever read.

#include <QList>
#include <QString>

#include "i18n/LanguageTable.h"

// Extract the embedded language file of index (anything outside 0..5 means English) into the run's private
// folder, as a new file (never through a file or link that is already there), and remember it for lookups.
// False, and nothing changed, when the resource is missing or empty. A failed write is not reported: the
// partial file is removed and lookups fall back to the built-in English texts. After an extraction the
// application (when there is one) is sent a QEvent::LanguageChange, which reaches every window.
bool LoadLanguageFile(int index);

// The run's private folder of language files ("" before the first extraction).
QString LanguageFolder();

// The value of key in the current language's file, or englishText when the file or the key is missing
// (an empty value in the file wins over englishText). Then every "{0}" is replaced by v0, then "{1}" by v1,
// "{2}" by v2, "{3}" by v3, in that order on the growing result; an empty value leaves its placeholder.
// Safe to call from any thread.
QString GetLangString(const QString& key, const QString& englishText, const QString& v0 = {},
                      const QString& v1 = {}, const QString& v2 = {}, const QString& v3 = {});

// One piece of a text with bold markup: "<br>" opens a bold run, "</br>" closes it.
struct TextRun {
  QString text;
  bool bold;
};

// Cut text into runs: before "<br>" normal, between "<br>" and "</br>" bold, an unclosed "<br>" makes the
// rest bold. Empty runs and runs that are exactly one blank are dropped; the markers never show.
QList<TextRun> SplitBoldRuns(const QString& text);
