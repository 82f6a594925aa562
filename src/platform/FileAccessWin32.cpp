// Files on Windows: paths are UTF-8 in the program and UTF-16 for the
// system, so that any name the operator can type opens and saves.
#include <windows.h>

#include <QString>
#include <algorithm>
#include <atomic>

#include "platform/FileAccess.h"

namespace kalvex {
namespace {

std::wstring Wide(const std::string& path) {
  if (path.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), wide.data(), n);
  return wide;
}

// The system's text for an error, without its closing line break.
std::string Reason(DWORD error) {
  wchar_t* text = nullptr;
  FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  QString reason = text ? QString::fromWCharArray(text).trimmed() : QString();
  if (text) LocalFree(text);
  if (reason.isEmpty()) reason = QStringLiteral("Error %1").arg(error);
  return reason.toStdString();
}

std::string LastReason() {
  return Reason(GetLastError());
}

constexpr const char* kFolderReason = "Is a directory";
constexpr const char* kNotAFileReason = "Not a regular file";

// Closes the handle on every path.
struct Handle {
  HANDLE h = INVALID_HANDLE_VALUE;
  ~Handle() {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  bool Close() {
    const bool ok = CloseHandle(h) != 0;
    h = INVALID_HANDLE_VALUE;
    return ok;
  }
};

DWORD Attributes(const std::string& path) {
  return GetFileAttributesW(Wide(path).c_str());
}

bool IsFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Every byte written, or the reason why not.
std::string WriteAll(HANDLE h, std::span<const std::uint8_t> bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    DWORD written = 0;
    if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr)) return LastReason();
    if (written == 0) return Reason(ERROR_DISK_FULL);
    done += written;
  }
  return {};
}

using Producer = std::function<void(const ChunkWriter&)>;

// Runs the producer against the file; the reason of the first failed write.
// When the producer throws, `onThrow` runs (after the handle is closed by its
// owner) and the exception passes on.
template <typename OnThrow>
std::string Produce(HANDLE h, const Producer& produce, OnThrow onThrow) {
  std::string reason;
  const ChunkWriter write = [&](std::span<const std::uint8_t> bytes) {
    if (reason.empty()) reason = WriteAll(h, bytes);
    return reason.empty();
  };
  try {
    produce(write);
  } catch (...) {
    onThrow();
    throw;
  }
  return reason;
}

std::string WriteInto(const std::string& path, const Producer& produce) {
  Handle f{CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)};
  if (f.h == INVALID_HANDLE_VALUE) return LastReason();
  std::string reason = Produce(f.h, produce, [] {});
  if (!f.Close() && reason.empty()) reason = LastReason();
  return reason;
}

// A new file beside `target` that no other writer uses.
HANDLE CreateTemporary(const std::string& target, std::string& name) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    name =
        target + ".tmp" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
    HANDLE h = CreateFileW(Wide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return h;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return INVALID_HANDLE_VALUE;
}

// The temporary file takes the target's place in one step. Another program
// (a virus scanner, an indexer, another save) may hold the target for a
// moment: that is waited out for up to a second.
bool MoveOver(const std::string& temporary, const std::string& target) {
  for (int attempt = 0;; ++attempt) {
    if (MoveFileExW(Wide(temporary).c_str(), Wide(target).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      return true;
    const DWORD error = GetLastError();
    if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || attempt == 50) {
      SetLastError(error);
      return false;
    }
    Sleep(20);
  }
}

// The bytes go to a temporary file, reach the disk, and only then take the
// target's place.
std::string Replace(const std::string& target, const Producer& produce) {
  std::string temporary;
  Handle f{CreateTemporary(target, temporary)};
  if (f.h == INVALID_HANDLE_VALUE) return LastReason();
  std::string reason = Produce(f.h, produce, [&] {
    f.Close();
    DeleteFileW(Wide(temporary).c_str());
  });
  if (reason.empty() && !FlushFileBuffers(f.h)) reason = LastReason();
  if (!f.Close() && reason.empty()) reason = LastReason();
  if (reason.empty() && !MoveOver(temporary, target)) reason = LastReason();
  if (!reason.empty()) DeleteFileW(Wide(temporary).c_str());
  return reason;
}

}  // namespace

std::string NativePath(const QString& path) {
  return path.toStdString();
}

QString PathText(const std::string& path) {
  return QString::fromStdString(path);
}

FileReadResult ReadFileBytes(const std::string& path, std::size_t maxBytes) {
  FileReadResult result;
  if (IsFolder(Attributes(path))) {
    result.error = kFolderReason;
    return result;
  }
  Handle f{CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (f.h == INVALID_HANDLE_VALUE) {
    result.error = LastReason();
    return result;
  }
  // A pipe, a port or a console would block the reader or never end.
  if (GetFileType(f.h) != FILE_TYPE_DISK) {
    result.error = kNotAFileReason;
    return result;
  }
  LARGE_INTEGER size{};
  GetFileSizeEx(f.h, &size);
  const std::size_t limit = maxBytes + 1;
  result.bytes.resize(std::min<std::size_t>(limit, static_cast<std::size_t>(size.QuadPart) + 1));
  std::size_t done = 0;
  while (done < limit) {
    if (done == result.bytes.size()) result.bytes.resize(std::min(limit, 2 * done + 4096));
    DWORD n = 0;
    const DWORD want =
        static_cast<DWORD>(std::min<std::size_t>(result.bytes.size() - done, 1 << 20));
    if (!ReadFile(f.h, result.bytes.data() + done, want, &n, nullptr)) {
      result.error = LastReason();
      break;
    }
    if (n == 0) break;
    done += n;
  }
  result.bytes.resize(result.error.empty() ? done : 0);
  return result;
}

bool IsFile(const std::string& path) {
  const DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

LocalDateTime LastWriteTime(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return {};
  FILETIME local{};
  SYSTEMTIME t{};
  if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &t))
    return {};
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::string SaveFileAtomically(const std::string& path, const Producer& produce) {
  const DWORD a = Attributes(path);
  if (a == INVALID_FILE_ATTRIBUTES) return Replace(path, produce);
  if (a & FILE_ATTRIBUTE_DIRECTORY) return kFolderReason;
  if (a & FILE_ATTRIBUTE_DEVICE) return WriteInto(path, produce);
  // A read-only file is one the operator keeps as it is.
  if (a & FILE_ATTRIBUTE_READONLY) return Reason(ERROR_ACCESS_DENIED);
  return Replace(path, produce);
}

NewFileResult CreateNewFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  NewFileResult result;
  Handle f{CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                       FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (f.h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    result.existed = error == ERROR_FILE_EXISTS;
    if (!result.existed) result.error = Reason(error);
    return result;
  }
  result.error = WriteAll(f.h, bytes);
  if (!f.Close() && result.error.empty()) result.error = LastReason();
  if (!result.error.empty()) DeleteFileW(Wide(path).c_str());
  return result;
}

}  // namespace kalvex
