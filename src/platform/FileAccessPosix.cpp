// Files on a POSIX system: paths are the system's bytes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/FileAccess.h"

namespace kalvex {
namespace {

std::string Reason(int error) {
  return std::strerror(error);
}

// Every byte written, or the reason why not.
std::string WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Reason(n < 0 ? errno : ENOSPC);
    done += static_cast<std::size_t>(n);
  }
  return {};
}

using Producer = std::function<void(const ChunkWriter&)>;

// Runs the producer against the file; the reason of the first failed write.
// The file is closed (and `onThrow` run) when the producer throws.
template <typename OnThrow>
std::string Produce(int fd, const Producer& produce, OnThrow onThrow) {
  std::string reason;
  const ChunkWriter write = [&](std::span<const std::uint8_t> bytes) {
    if (reason.empty()) reason = WriteAll(fd, bytes);
    return reason.empty();
  };
  try {
    produce(write);
  } catch (...) {
    ::close(fd);
    onThrow();
    throw;
  }
  return reason;
}

std::string WriteInto(const std::string& path, const Producer& produce) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return Reason(errno);
  std::string reason = Produce(fd, produce, [] {});
  if (::close(fd) != 0 && reason.empty()) reason = Reason(errno);
  return reason;
}

// A new file beside `target` that no other writer uses.
int CreateTemporary(const std::string& target, std::string& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    name = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

std::string Replace(const std::string& target, const struct stat* old, const Producer& produce) {
  std::string temporary;
  const int fd = CreateTemporary(target, temporary);
  if (fd < 0) return Reason(errno);
  std::string reason = Produce(fd, produce, [&] { ::unlink(temporary.c_str()); });
  if (reason.empty() && old && ::fchmod(fd, old->st_mode & 07777) != 0) reason = Reason(errno);
  if (reason.empty() && ::fsync(fd) != 0) reason = Reason(errno);
  if (::close(fd) != 0 && reason.empty()) reason = Reason(errno);
  if (reason.empty() && ::rename(temporary.c_str(), target.c_str()) != 0) reason = Reason(errno);
  if (!reason.empty()) ::unlink(temporary.c_str());
  return reason;
}

// Why a path that is there cannot be read as a file: a folder, or anything
// but a regular file (a pipe or a device would block the reader or never
// end). Empty for a regular file.
std::string NotAFileReason(const struct stat& info) {
  if (S_ISDIR(info.st_mode)) return Reason(EISDIR);
  if (!S_ISREG(info.st_mode)) return "Not a regular file";
  return {};
}

}  // namespace

std::string NativePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString PathText(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

FileReadResult ReadFileBytes(const std::string& path, std::size_t maxBytes) {
  FileReadResult result;
  struct stat info {};
  // Looked at before opening: opening a pipe for reading waits for a writer.
  if (::stat(path.c_str(), &info) == 0) result.error = NotAFileReason(info);
  if (!result.ok()) return result;
  // Non-blocking, should the path have changed into a pipe since.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    result.error = Reason(errno);
    return result;
  }
  if (::fstat(fd, &info) != 0) result.error = Reason(errno);
  if (result.ok()) result.error = NotAFileReason(info);
  if (!result.ok()) {
    ::close(fd);
    return result;
  }
  const std::size_t limit = maxBytes + 1;
  std::size_t size = 0;
  result.bytes.resize(std::min<std::size_t>(limit, std::max<off_t>(info.st_size, 0) + 1));
  while (size < limit) {
    if (size == result.bytes.size()) result.bytes.resize(std::min(limit, 2 * size + 4096));
    const ssize_t n = ::read(fd, result.bytes.data() + size, result.bytes.size() - size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) result.error = Reason(errno);
    if (n <= 0) break;
    size += static_cast<std::size_t>(n);
  }
  ::close(fd);
  result.bytes.resize(result.error.empty() ? size : 0);
  return result;
}

bool IsFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

LocalDateTime LastWriteTime(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
  struct tm t {};
  if (!::localtime_r(&info.st_mtime, &t)) return {};
  return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

std::string SaveFileAtomically(const std::string& path, const Producer& produce) {
  struct stat old {};
  if (::stat(path.c_str(), &old) != 0) return Replace(path, nullptr, produce);
  if (S_ISDIR(old.st_mode)) return Reason(EISDIR);
  if (!S_ISREG(old.st_mode)) return WriteInto(path, produce);
  // A symbolic link stays a link: the file it leads to is the one replaced.
  char resolved[PATH_MAX];
  const std::string target = ::realpath(path.c_str(), resolved) ? resolved : path;
  return Replace(target, &old, produce);
}

NewFileResult CreateNewFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  NewFileResult result;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    result.existed = errno == EEXIST;
    if (!result.existed) result.error = Reason(errno);
    return result;
  }
  result.error = WriteAll(fd, bytes);
  if (::close(fd) != 0 && result.error.empty()) result.error = Reason(errno);
  if (!result.error.empty()) ::unlink(path.c_str());
  return result;
}

}  // namespace kalvex
