#include "i18n/LangString.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <map>
#include <memory>
#include <mutex>

#include "i18n/ProfileReader.h"

namespace {

using vrx::i18n::ProfileSection;

// Files larger than this are not language files; they are treated as unreadable (English texts).
constexpr qint64 kMaxFileBytes = 8 * 1024 * 1024;

// One parsed language file, valid while the file keeps this size and modification time.
struct ParsedFile {
  qint64 size = -1;
  QDateTime modified;
  std::shared_ptr<const ProfileSection> section;
};

// The remembered temporary folder and the parsed files, shared by every thread that looks texts up.
// Lookups re-read a file only when its size or modification time changed (the extraction also drops it),
// so a lookup costs one stat of the file instead of a full parse.
class LanguageFiles {
 public:
  static LanguageFiles& Instance() {
    static LanguageFiles files;
    return files;
  }

  void SetFolder(const QString& folder, const QString& rewrittenPath) {
    std::lock_guard lock(mutex_);
    folder_ = folder;
    cache_.erase(rewrittenPath);
  }

  // The parsed section "language" of the current language's file; null when there is no readable file.
  std::shared_ptr<const ProfileSection> Current() {
    std::lock_guard lock(mutex_);
    if (folder_.isEmpty()) return nullptr;  // nothing extracted yet: built-in English texts
    const QString path = folder_ + QLatin1Char('/') + QLatin1String(vrx::i18n::CurrentLanguageInfo().fileName);
    const QFileInfo info(path);
    if (!info.isFile()) {
      cache_.erase(path);
      return nullptr;
    }
    ParsedFile& entry = cache_[path];
    if (entry.section && entry.size == info.size() && entry.modified == info.lastModified()) return entry.section;
    entry = ParsedFile{info.size(), info.lastModified(), Parse(path, info.size())};
    return entry.section;
  }

 private:
  static std::shared_ptr<const ProfileSection> Parse(const QString& path, qint64 size) {
    if (size > kMaxFileBytes) return nullptr;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return nullptr;
    const QByteArray bytes = file.read(kMaxFileBytes);
    return std::make_shared<const ProfileSection>(ProfileSection::FromBytes(
        std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())), u"language"));
  }

  std::mutex mutex_;
  QString folder_;
  std::map<QString, ParsedFile> cache_;
};

QString ToQString(const std::u16string& s) {
  return QString(reinterpret_cast<const QChar*>(s.data()), static_cast<qsizetype>(s.size()));
}

}  // namespace

bool LoadLanguageFile(int index) {
  const auto& language = vrx::i18n::LanguageAt(index);
  QFile resource(QStringLiteral(":/lang/") + QLatin1String(language.fileName));
  if (!resource.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = resource.readAll();
  if (bytes.isEmpty()) return false;

  const QString folder = QDir::tempPath();
  const QString path = folder + QLatin1Char('/') + QLatin1String(language.fileName);
  QFile out(path);
  if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    out.write(bytes);  // write failures are not reported: lookups then show the English texts
    out.close();
  }
  LanguageFiles::Instance().SetFolder(folder, path);
  return true;
}

QString GetLangString(const QString& key, const QString& englishText, const QString& v0, const QString& v1,
                      const QString& v2, const QString& v3) {
  QString result = englishText;
  if (const auto section = LanguageFiles::Instance().Current()) {
    const std::u16string_view keyView(reinterpret_cast<const char16_t*>(key.utf16()),
                                      static_cast<size_t>(key.size()));
    if (auto value = section->Find(keyView)) result = ToQString(*value);
  }
  const QString* values[] = {&v0, &v1, &v2, &v3};
  for (int i = 0; i < 4; ++i) {
    if (!values[i]->isEmpty()) result.replace(QStringLiteral("{%1}").arg(i), *values[i]);
  }
  return result;
}

QList<TextRun> SplitBoldRuns(const QString& text) {
  static const QString kOpen = QStringLiteral("<br>");
  static const QString kClose = QStringLiteral("</br>");
  QList<TextRun> runs;
  auto add = [&runs](QString piece, bool bold) {
    if (!piece.isEmpty() && piece != QLatin1String(" ")) runs.append(TextRun{std::move(piece), bold});
  };
  qsizetype pos = 0;
  while (pos < text.size()) {
    const qsizetype open = text.indexOf(kOpen, pos);
    if (open < 0) {
      add(text.mid(pos), false);
      break;
    }
    add(text.mid(pos, open - pos), false);
    const qsizetype boldStart = open + kOpen.size();
    const qsizetype close = text.indexOf(kClose, boldStart);
    if (close < 0) {
      add(text.mid(boldStart), true);
      break;
    }
    add(text.mid(boldStart, close - boldStart), true);
    pos = close + kClose.size();
  }
  return runs;
}
