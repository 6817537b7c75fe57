// How much a text lookup costs: with the parsed file kept per file version (what GetLangString does)
// against parsing the language file on every lookup.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "i18n/LangString.h"
#include "i18n/ProfileReader.h"

namespace {

QTemporaryDir& TempDir() {
  static QTemporaryDir dir;
  return dir;
}

void UseLanguage(int index) {
  qputenv("TMPDIR", QFile::encodeName(TempDir().path()));
  currentLanguage = index;
  LoadLanguageFile(index);
}

void BM_GetLangString(benchmark::State& state) {
  UseLanguage(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(GetLangString("hddformat_15", "Formatting HD{0}: {1}%", "1", "42"));
}
BENCHMARK(BM_GetLangString)->Arg(0)->Arg(4);

void BM_ParseWholeFileEachLookup(benchmark::State& state) {
  UseLanguage(static_cast<int>(state.range(0)));
  QFile file(LanguageFolder() + "/" + vrx::i18n::LanguageAt(static_cast<int>(state.range(0))).fileName);
  file.open(QIODevice::ReadOnly);
  const QByteArray bytes = file.readAll();
  for (auto _ : state) {
    const auto section = vrx::i18n::ProfileSection::FromBytes(
        std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), u"language");
    benchmark::DoNotOptimize(section.Find(u"hddformat_15"));
  }
}
BENCHMARK(BM_ParseWholeFileEachLookup)->Arg(0)->Arg(4);

}  // namespace

BENCHMARK_MAIN();
