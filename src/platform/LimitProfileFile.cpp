#include "platform/LimitProfileFile.h"

#include "platform/FileAccess.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

constexpr std::size_t kMaxProfileBytes = 1 << 20;

// The last part of the path, the profile's name when it gives none.
std::string FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

LimitProfileFile ReadLimitProfileFile(const std::string& path) {
  const FileReadResult file = ReadFileBytes(path, kMaxProfileBytes);
  if (!file.ok())
    return {std::nullopt, FormatText(TextId::CannotOpenFile, {path, file.error}), true};
  if (file.bytes.size() > kMaxProfileBytes)
    return {std::nullopt, FormatText(TextId::ProfileTooLarge, {path}), false};
  const ProfileReading reading =
      ReadLimitProfile(std::string(file.bytes.begin(), file.bytes.end()), FileName(path));
  if (!reading.profile) return {std::nullopt, ProfileErrorText(path, reading.error), false};
  return {reading.profile, "", false};
}

}  // namespace kalvex
