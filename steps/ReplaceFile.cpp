#include "steps/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace vrx::steps {

namespace {

// Writes all of data to fd, through interrupted and partial writes; 0 or the errno.
int WriteAll(int fd, const QByteArray& data) {
  for (qsizetype done = 0; done < data.size();) {
    const ssize_t n = ::write(fd, data.constData() + done, std::size_t(data.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    done += n;
  }
  return 0;
}

}  // namespace

int ReplaceFile(const QString& path, const QByteArray& contents, mode_t mode) {
  const QFileInfo target(path);
  const QByteArray destination = QFile::encodeName(target.absoluteFilePath());
  // Hidden while it is written, so a desktop or a folder view never shows the half-written file.
  QByteArray temporary = QFile::encodeName(target.absolutePath() + QStringLiteral("/.") + target.fileName()) +
                         ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return errno;
  int error = WriteAll(fd, contents);
  if (error == 0 && (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(temporary.constData(), destination.constData()) != 0) error = errno;
  if (error != 0) ::unlink(temporary.constData());
  return error;
}

}  // namespace vrx::steps
