// Loading the program settings from the per-user store.

#include <gtest/gtest.h>

#include <climits>

#include "shell/MemorySettingsStore.h"
#include "shell/ProgramSettings.h"

namespace kalvex {
namespace {

TEST(SettingsTest, MissingKeyKeepsEveryDefault) {
  ProgramSettings settings;
  LoadSettings(settings, MemorySettingsStore{});
  EXPECT_EQ(settings.MinSpectrum, -40);
  EXPECT_EQ(settings.MinCorrelation, -90);
  EXPECT_EQ(settings.AmplitudeFrame, 512);
  EXPECT_EQ(settings.AmplitudeStep, 100);
  EXPECT_EQ(settings.Timeout1, 2);
  EXPECT_EQ(settings.Timeout2, 60);
  EXPECT_TRUE(settings.NoSaveConfirmation);
  EXPECT_EQ(settings.Language, "RUS");
}

TEST(SettingsTest, EachMalformedValueGetsItsOwnDefault) {
  MemorySettingsStore store;
  store.Write("AmplitudeFrame", "abc");
  store.Write("AmplitudeStep", "50");
  store.Write("minSpectrum", "-60");
  store.Write("minCorrelation", "12abc");
  store.Write("Timeout1", "99999999999");  // beyond 32 bits
  store.PutNonText("Timeout2");
  ProgramSettings settings;
  settings.AmplitudeFrame = 7;  // the default comes back, not the value before
  LoadSettings(settings, store);
  EXPECT_EQ(settings.AmplitudeFrame, 512);
  EXPECT_EQ(settings.AmplitudeStep, 50);
  EXPECT_EQ(settings.MinSpectrum, -60);
  EXPECT_EQ(settings.MinCorrelation, -90);
  EXPECT_EQ(settings.Timeout1, 2);
  EXPECT_EQ(settings.Timeout2, 60);

  // Regression: a frame or step of 0 or less made the RMS amplitude NaN.
  store.Write("AmplitudeFrame", "0");
  store.Write("AmplitudeStep", "-5");
  LoadSettings(settings, store);
  EXPECT_EQ(settings.AmplitudeFrame, 512);
  EXPECT_EQ(settings.AmplitudeStep, 100);
}

TEST(SettingsTest, ConfirmValueDecidesTheSaveQuestion) {
  struct Case {
    const char* stored;  // null: the key exists without a "Confirm" value
    bool noConfirmation;
  };
  for (Case c : {Case{"N", true}, Case{"n", false}, Case{"No", true}, Case{"Y", false},
                 Case{"", false}, Case{nullptr, false}}) {
    MemorySettingsStore store;
    store.Write("Language", "RUS");
    if (c.stored) store.Write("Confirm", c.stored);
    ProgramSettings settings;
    LoadSettings(settings, store);
    EXPECT_EQ(settings.NoSaveConfirmation, c.noConfirmation) << (c.stored ? c.stored : "missing");
  }
  MemorySettingsStore store;
  store.PutNonText("Confirm");  // unreadable as text: counts as "N"
  ProgramSettings settings;
  settings.NoSaveConfirmation = false;
  LoadSettings(settings, store);
  EXPECT_TRUE(settings.NoSaveConfirmation);
}

TEST(SettingsTest, ValueNamesMatchWithoutRegardToCase) {
  MemorySettingsStore store;
  store.Write("TimeOut1", "7");  // as the special settings dialog writes it
  store.Write("confirm", "N");
  ProgramSettings settings;
  settings.NoSaveConfirmation = false;
  LoadSettings(settings, store);
  EXPECT_EQ(settings.Timeout1, 7);
  EXPECT_TRUE(settings.NoSaveConfirmation);
  store.Write("timeout1", "9");  // the same value, not a second one
  EXPECT_EQ(store.Read("Timeout1").text, "9");
}

TEST(SettingsTest, StoredIntegersHaveOneOptionalSign) {
  int v = 0;
  EXPECT_TRUE(ParseStoredInteger("-2147483648", v));
  EXPECT_EQ(v, INT_MIN);
  EXPECT_TRUE(ParseStoredInteger("+42", v));
  EXPECT_EQ(v, 42);
  for (const char* bad : {"", "+", "-", "4.5", "1e3", "2147483648", "0x10", "+-1", " 5"}) {
    EXPECT_FALSE(ParseStoredInteger(bad, v)) << bad;
    EXPECT_EQ(v, 42) << bad;
  }
}

}  // namespace
}  // namespace kalvex
