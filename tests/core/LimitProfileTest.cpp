// Limit profiles read from their text (and refused with line and reason),
// figures judged against them, and the verdict of a recording.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "qc/LimitProfile.h"
#include "qc/QcVerdict.h"
#include "shell/ProgramSettings.h"
#include "support/EnglishTexts.h"

namespace kalvex {
namespace {

using Id = QcFigureId;

TEST(LimitProfileTest, ReadsSectionsKeysCommentsAndName) {
  const ProfileReading r = ReadLimitProfile(
      "; contract 12\r\n# also a comment\n\n[profile]\nname = Client A\n[phase_peak]\nmax=10\n"
      "[level_min]\n min = 50 \n[level_avg]\nmin=90\nmax = 1.1e2\n",
      "limits.ini");
  ASSERT_TRUE(r.profile);
  EXPECT_EQ(r.profile->name, "Client A");
  EXPECT_EQ(*r.profile->Of(Id::PhasePeak).max, 10);
  EXPECT_FALSE(r.profile->Of(Id::PhasePeak).min);
  EXPECT_EQ(*r.profile->Of(Id::LevelMin).min, 50);
  EXPECT_EQ(*r.profile->Of(Id::LevelAvg).max, 110);
  EXPECT_FALSE(r.profile->Of(Id::SideLobe).Any());
  EXPECT_EQ(ReadLimitProfile("[sidelobe]\nmax=-20\n", "unnamed.ini").profile->name, "unnamed.ini");
  // A band of one value is a limit like any other.
  const ProfileReading exact = ReadLimitProfile("[level_avg]\nmin = 100\nmax = 100\n", "e.ini");
  ASSERT_TRUE(exact.profile) << exact.error.reason;
  EXPECT_EQ(LimitText(exact.profile->Of(Id::LevelAvg)), "100..100");
  // A text editor's byte-order mark; a name saved in the Windows code page.
  const ProfileReading marked =
      ReadLimitProfile("\xEF\xBB\xBF[profile]\r\nname = Кл\r\n[sidelobe]\r\nmax=1\r\n", "m.ini");
  ASSERT_TRUE(marked.profile) << marked.error.reason;
  EXPECT_EQ(marked.profile->name, "Кл");
  EXPECT_EQ(
      ReadLimitProfile("[profile]\nname = \xCA\xEB\n[sidelobe]\nmax=1\n", "c.ini").profile->name,
      "Кл");
}

TEST(LimitProfileTest, RefusesTheWholeProfileAtTheFirstFault) {
  std::optional<test::EnglishTexts> english(std::in_place);
  const struct {
    const char* text;
    int line;
    const char* reason;
  } cases[] = {
      {"max = 3\n", 1, "\"max\" stands before any [section]"},
      {"[phase_peak]\nmax 3\n", 2, "expected \"key = value\" or [section]"},
      {"[phase_pk]\n", 1, "unknown section [phase_pk]"},
      {"[sidelobe\n", 1, "a section name ends with ]"},
      {"[sidelobe]\nlimit = 3\n", 2, "unknown key \"limit\" in [sidelobe] (min or max)"},
      {"[sidelobe]\nmax = -20 dB\n", 2, "\"-20 dB\" is not a number"},
      {"[sidelobe]\nmax = nan\n", 2, "\"nan\" is not a number"},
      {"[sidelobe]\nmax = 1\nmax = 2\n", 3, "\"max\" given twice in [sidelobe]"},
      {"[level_avg]\nmax = 90\nmin = 110\n", 3, "min is above max in [level_avg]"},
      {"[phase_rms]\n[phase_rms]\n", 2, "section [phase_rms] given twice"},
      {"[profile]\ntitle = x\n", 2, "unknown key \"title\" in [profile] (only name)"},
      {"[profile]\nname = a\nname = b\n[sidelobe]\nmax = 1\n", 3,
       "\"name\" given twice in [profile]"},
      // Nothing to judge: nothing would ever fail.
      {"", 1, "the profile sets no limit (no min or max in any section)"},
      {"; only a comment\n", 2, "the profile sets no limit (no min or max in any section)"},
      {"[profile]\nname = x\n[phase_peak]\n", 4,
       "the profile sets no limit (no min or max in any section)"},
  };
  for (const auto& c : cases) {
    const ProfileReading r = ReadLimitProfile(c.text, "p.ini");
    EXPECT_FALSE(r.profile) << c.text;
    EXPECT_EQ(r.error.line, c.line) << c.text;
    EXPECT_EQ(r.error.reason, c.reason) << c.text;
  }
  EXPECT_EQ(ProfileErrorText("p.ini", {4, "why"}), "p.ini:4: why");
  english.reset();  // the reasons come from the text set in force
  EXPECT_EQ(ReadLimitProfile("[phase_pk]\n", "p.ini").error.reason, "неизвестный раздел [phase_pk]");
}

QcChannelFigures Channel(std::initializer_list<std::pair<Id, double>> values) {
  QcChannelFigures c;
  for (auto [id, v] : values) {
    c.values[static_cast<int>(id)] = v;
    c.available[static_cast<int>(id)] = true;
  }
  return c;
}

TEST(QcVerdictTest, LimitsAreInclusiveAndMissingFiguresNeverPass) {
  const FigureLimit band{90.0, 110.0};
  const QcChannelFigures c = Channel({{Id::LevelAvg, 90}, {Id::LevelMin, 89.99}});
  EXPECT_EQ(Judge(c, Id::LevelAvg, band), QcVerdict::Pass);
  EXPECT_EQ(Judge(c, Id::LevelMin, band), QcVerdict::Fail);
  EXPECT_EQ(Judge(c, Id::SideLobe, band), QcVerdict::NotAvailable);
  EXPECT_EQ(Judge(c, Id::SideLobe, {}), QcVerdict::NotJudged);

  QcOutcome outcome;
  outcome.profile.limits[static_cast<int>(Id::PhasePeak)].max = 10;
  outcome.figures.channels = {Channel({{Id::PhasePeak, 10}})};
  EXPECT_EQ(outcome.Overall(), QcOverall::Pass);
  outcome.figures.channels.push_back(Channel({}));
  EXPECT_EQ(outcome.Overall(), QcOverall::Undecided);
  outcome.figures.channels.push_back(Channel({{Id::PhasePeak, 10.5}}));
  EXPECT_EQ(outcome.Overall(), QcOverall::Fail);
  EXPECT_EQ(outcome.FailedKeys(outcome.figures.channels[2]), "phase_peak");
  // A failing figure outweighs one not available before it in the channel.
  outcome.profile.limits[static_cast<int>(Id::SideLobe)].max = -20;
  outcome.figures.channels = {Channel({{Id::SideLobe, -15}})};
  EXPECT_EQ(outcome.ChannelOverall(outcome.figures.channels[0]), QcOverall::Fail);
  EXPECT_EQ(outcome.Overall(), QcOverall::Fail);
  outcome.figures.channels.clear();
  EXPECT_EQ(outcome.Overall(), QcOverall::Undecided);  // nothing to judge
}

// What a recording is judged by when no profile is given.
TEST(QcVerdictTest, BuiltInProfile) {
  const LimitProfile& p = BuiltInLimitProfile();
  EXPECT_EQ(p.name, "built-in");
  std::vector<std::string> limits;
  for (const QcFigureKind& k : QcFigureKinds()) limits.push_back(LimitText(p.Of(k.id)));
  EXPECT_EQ(limits, (std::vector<std::string>{"<= 10", "<= 5", "<= 40", "<= 20", ">= 50", "-",
                                              "<= -20"}));
}

// The texts the table, the report and the CSV carry.
TEST(QcVerdictTest, LimitValueAndSettingsTexts) {
  EXPECT_EQ(LimitText({90.0, 110.0}), "90..110");
  EXPECT_EQ(LimitText({50.0, std::nullopt}), ">= 50");
  EXPECT_EQ(LimitText({std::nullopt, -25.5}), "<= -25.5");
  EXPECT_EQ(LimitText({}), "-");
  const QcChannelFigures c = Channel({{Id::PhasePeak, 3.14159}});
  EXPECT_EQ(FigureText(c, Id::PhasePeak), "3.14");
  EXPECT_EQ(FigureText(c, Id::PhaseRms), "n/a");
  ProgramSettings settings;
  settings.ChannelCalibration[2] = 1.05;
  settings.InputSize = FundamentalInputSize::Fixed32768;
  EXPECT_EQ(SettingsProvenance(settings),
            "frame 512, step 100, FFT 32768, calibration 1,1,1.05,1,1,1, spectrum floor -40 dB, "
            "correlation floor -90 dB");
}

}  // namespace
}  // namespace kalvex
