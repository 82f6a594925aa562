#include "qc/LimitProfile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <set>

#include "recordings/Cp1251.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::optional<QcFigureId> FigureOfKey(const std::string& key) {
  for (const QcFigureKind& k : QcFigureKinds())
    if (key == k.key) return k.id;
  return std::nullopt;
}

std::optional<double> Number(const std::string& text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

// One line read into the profile; the reason when it cannot be.
class ProfileLines {
 public:
  explicit ProfileLines(LimitProfile& profile) : profile_(profile) {}

  std::string Read(const std::string& raw) {
    const std::string line = Trimmed(raw);
    if (line.empty() || line[0] == ';' || line[0] == '#') return "";
    if (line[0] == '[') return Section(line);
    const auto eq = line.find('=');
    if (eq == std::string::npos) return Text(TextId::ProfileExpectedKeyValue);
    const std::string key = Trimmed(line.substr(0, eq));
    const std::string value = Trimmed(line.substr(eq + 1));
    if (section_.empty()) return FormatText(TextId::ProfileKeyBeforeSection, {key});
    if (section_ == "profile") return ProfileKey(key, value);
    return LimitKey(key, value);
  }

 private:
  std::string Section(const std::string& line) {
    if (line.back() != ']') return Text(TextId::ProfileSectionEnd);
    const std::string name = Trimmed(line.substr(1, line.size() - 2));
    if (name != "profile" && !FigureOfKey(name)) return FormatText(TextId::ProfileUnknownSection, {name});
    if (!seen_.insert(name).second) return FormatText(TextId::ProfileSectionTwice, {name});
    section_ = name;
    return "";
  }
  std::string ProfileKey(const std::string& key, const std::string& value) {
    if (key != "name") return FormatText(TextId::ProfileUnknownNameKey, {key});
    if (named_) return Text(TextId::ProfileNameTwice);
    named_ = true;
    profile_.name = value;
    return "";
  }
  std::string LimitKey(const std::string& key, const std::string& value) {
    FigureLimit& limit = profile_.limits[static_cast<int>(*FigureOfKey(section_))];
    if (key != "min" && key != "max")
      return FormatText(TextId::ProfileUnknownLimitKey, {key, section_});
    std::optional<double>& slot = key == "min" ? limit.min : limit.max;
    if (slot) return FormatText(TextId::ProfileLimitTwice, {key, section_});
    slot = Number(value);
    if (!slot) return FormatText(TextId::ProfileNotANumber, {value});
    if (limit.min && limit.max && *limit.min > *limit.max)
      return FormatText(TextId::ProfileMinAboveMax, {section_});
    return "";
  }

  LimitProfile& profile_;
  std::string section_;
  std::set<std::string> seen_;
  bool named_ = false;
};

// The profile text in UTF-8: a text editor's byte-order mark is dropped; a
// text that is not UTF-8 was saved in the Russian Windows code page.
std::string DecodedProfile(std::string_view text) {
  if (DropUtf8Mark(text)) return ValidUtf8(text);
  const std::string utf8 = ValidUtf8(text);
  return utf8 == text ? utf8 : Cp1251ToUtf8(text);
}

bool SetsAnyLimit(const LimitProfile& profile) {
  return std::any_of(profile.limits.begin(), profile.limits.end(),
                     [](const FigureLimit& l) { return l.Any(); });
}

}  // namespace

const LimitProfile& BuiltInLimitProfile() {
  static const LimitProfile profile = [] {
    LimitProfile p;
    p.name = "built-in";
    auto set = [&p](QcFigureId id, std::optional<double> min, std::optional<double> max) {
      p.limits[static_cast<int>(id)] = {min, max};
    };
    set(QcFigureId::PhasePeak, std::nullopt, 10.0);
    set(QcFigureId::PhaseRms, std::nullopt, 5.0);
    set(QcFigureId::DistortionPeak, std::nullopt, 40.0);
    set(QcFigureId::DistortionAvg, std::nullopt, 20.0);
    set(QcFigureId::LevelMin, 50.0, std::nullopt);
    set(QcFigureId::SideLobe, std::nullopt, -20.0);
    return p;
  }();
  return profile;
}

ProfileReading ReadLimitProfile(const std::string& raw, const std::string& defaultName) {
  const std::string text = DecodedProfile(raw);
  LimitProfile profile;
  profile.name = defaultName;
  ProfileLines lines(profile);
  int number = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    ++number;
    const std::string reason = lines.Read(text.substr(start, end - start));
    if (!reason.empty()) return {std::nullopt, {number, reason}};
    start = end + 1;
  }
  // Nothing would ever fail against a profile without a limit.
  if (!SetsAnyLimit(profile))
    return {std::nullopt, {number, Text(TextId::ProfileNoLimit)}};
  return {profile, {}};
}

std::string ProfileErrorText(const std::string& file, const ProfileError& error) {
  return file + ":" + std::to_string(error.line) + ": " + error.reason;
}

}  // namespace kalvex
