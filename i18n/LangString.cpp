#include "i18n/LangString.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <map>
#include <memory>
#include <mutex>
#include <set>

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

  // The private folder, made on first use inside the temporary folder (and again if it has gone).
  QString PrivateFolder() {
    std::lock_guard lock(mutex_);
    if (!dir_ || !QFileInfo(dir_->path()).isDir()) {
      dir_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/vrx-lang-XXXXXX"));
      if (!dir_->isValid()) dir_.reset();
      written_.clear();
      cache_.clear();
      folder_.clear();
    }
    return dir_ ? dir_->path() : QString();
  }

  QString Folder() {
    std::lock_guard lock(mutex_);
    return folder_;
  }

  // `path` was written completely by this run (or, when !complete, its write failed and it is gone).
  void Written(const QString& folder, const QString& path, bool complete) {
    std::lock_guard lock(mutex_);
    folder_ = folder;
    cache_.erase(path);
    if (complete) written_.insert(path);
    else written_.erase(path);
  }

  // The parsed section "language" of the current language's file; null when there is no readable file.
  std::shared_ptr<const ProfileSection> Current() {
    std::lock_guard lock(mutex_);
    if (folder_.isEmpty()) return nullptr;  // nothing extracted yet: built-in English texts
    const QString path = folder_ + QLatin1Char('/') + QLatin1String(vrx::i18n::CurrentLanguageInfo().fileName);
    const QFileInfo info(path);
    if (!written_.count(path) || !info.isFile() || info.isSymLink()) {
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
  std::unique_ptr<QTemporaryDir> dir_;  // removed with its files when the program ends
  QString folder_;
  std::set<QString> written_;          // files this run extracted
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

  LanguageFiles& files = LanguageFiles::Instance();
  const QString folder = files.PrivateFolder();
  if (folder.isEmpty()) return true;  // no private folder: the built-in English texts
  const QString path = folder + QLatin1Char('/') + QLatin1String(language.fileName);
  // A file of an earlier extraction is replaced by a new one: never written through, never truncated.
  QFile::remove(path);
  QFile out(path);
  bool complete = false;
  if (out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
    complete = out.write(bytes) == bytes.size() && out.flush();
    out.close();
    complete = complete && out.error() == QFileDevice::NoError;
    if (!complete) QFile::remove(path);
  }
  files.Written(folder, path, complete);
  // Windows that show texts outside the pages (their titles) take the new language from this event.
  if (QCoreApplication* app = QCoreApplication::instance())
    QCoreApplication::postEvent(app, new QEvent(QEvent::LanguageChange));
  return true;
}

QString LanguageFolder() { return LanguageFiles::Instance().Folder(); }

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
