// One suite for the settings store contract, run against the in-memory store
// and the Qt store (an INI file in a temporary directory).

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "platform/QtSettingsStore.h"
#include "shell/MemorySettingsStore.h"
#include "shell/ProgramSettings.h"

namespace kalvex {
namespace {

struct StoreFactory {
  const char* name;
  std::function<std::unique_ptr<SettingsStore>(const QString& dir)> make;
};

class SettingsStoreContract : public ::testing::TestWithParam<StoreFactory> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    store_ = GetParam().make(dir_.path());
  }
  QTemporaryDir dir_;
  std::unique_ptr<SettingsStore> store_;
};

TEST_P(SettingsStoreContract, MissingKeyReadsNothingAndIsNotCreatedByReading) {
  EXPECT_FALSE(store_->KeyExists());
  EXPECT_EQ(store_->Read("Timeout1").state, StoredValue::State::Missing);
  EXPECT_FALSE(store_->KeyExists());
}

TEST_P(SettingsStoreContract, ValueNamesMatchWithoutRegardToCase) {
  ASSERT_TRUE(store_->Write("TimeOut1", "7"));
  EXPECT_TRUE(store_->KeyExists());
  StoredValue v = store_->Read("Timeout1");
  ASSERT_EQ(v.state, StoredValue::State::Text);
  EXPECT_EQ(v.text, "7");
  // Writing under another spelling replaces the same value.
  ASSERT_TRUE(store_->Write("TIMEOUT1", "9"));
  EXPECT_EQ(store_->Read("timeout1").text, "9");
}

TEST_P(SettingsStoreContract, ValuesAreStringsAndKeepNonAsciiText) {
  ASSERT_TRUE(store_->Write("Language", "ENU"));
  ASSERT_TRUE(store_->Write("minSpectrum", "-55"));
  ASSERT_TRUE(store_->Write("Comment", "Калибровка"));
  EXPECT_EQ(store_->Read("language").text, "ENU");
  EXPECT_EQ(store_->Read("MINSPECTRUM").text, "-55");
  EXPECT_EQ(store_->Read("comment").text, "Калибровка");
}

TEST_P(SettingsStoreContract, LoadSettingsReadsStoredValuesOverDefaults) {
  store_->Write("AmplitudeFrame", "abc");
  store_->Write("AmplitudeStep", "50");
  store_->Write("minCorrelation", "-70");
  ProgramSettings s;
  LoadSettings(s, *store_);
  EXPECT_EQ(s.AmplitudeFrame, 512);
  EXPECT_EQ(s.AmplitudeStep, 50);
  EXPECT_EQ(s.MinCorrelation, -70);
  EXPECT_EQ(s.Timeout2, 60);
  // The key exists without "Confirm": the save question is asked.
  EXPECT_FALSE(s.NoSaveConfirmation);
}

INSTANTIATE_TEST_SUITE_P(
    Stores, SettingsStoreContract,
    ::testing::Values(
        StoreFactory{"Memory",
                     [](const QString&) { return std::make_unique<MemorySettingsStore>(); }},
        StoreFactory{"QtIni",
                     [](const QString& dir) {
                       return std::make_unique<QtSettingsStore>(dir + "/Crelvantis/Kalvex.conf");
                     }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kalvex
