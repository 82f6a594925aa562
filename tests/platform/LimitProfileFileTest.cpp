// The bundled example profile reads the same through QSettings as through
// the program's reader; unreadable and oversized files are told apart.
#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>

#include "platform/LimitProfileFile.h"

namespace kalvex {
namespace {

const char* const kExample = KALVEX_SAMPLES_DIR "/limits.ini";

TEST(LimitProfileFileTest, ExampleProfileReadsAlikeThroughQSettings) {
  const LimitProfileFile file = ReadLimitProfileFile(kExample);
  ASSERT_TRUE(file.profile) << file.error;
  QSettings ini(QString::fromLatin1(kExample), QSettings::IniFormat);
  EXPECT_EQ(ini.value("profile/name").toString().toStdString(), file.profile->name);
  int limits = 0;
  for (const QcFigureKind& k : QcFigureKinds()) {
    const FigureLimit& l = file.profile->Of(k.id);
    for (const auto& [key, value] : {std::pair{"min", l.min}, std::pair{"max", l.max}}) {
      const QVariant stored = ini.value(QString::fromLatin1(k.key) + "/" + key);
      EXPECT_EQ(stored.isValid(), value.has_value()) << k.key << "/" << key;
      if (!value) continue;
      EXPECT_EQ(stored.toDouble(), *value) << k.key << "/" << key;
      ++limits;
    }
  }
  EXPECT_EQ(limits, 8);  // every figure limited in the example, level_avg on both sides
}

TEST(LimitProfileFileTest, MissingAndOversizedFiles) {
  const LimitProfileFile missing = ReadLimitProfileFile("no-such-profile.ini");
  EXPECT_FALSE(missing.profile);
  EXPECT_TRUE(missing.unreadable);
  QFile big("big.ini");
  ASSERT_TRUE(big.open(QIODevice::WriteOnly));
  big.write(QByteArray((1 << 20) + 1, ';'));
  big.close();
  const LimitProfileFile oversized = ReadLimitProfileFile("big.ini");
  EXPECT_FALSE(oversized.profile);
  EXPECT_FALSE(oversized.unreadable);
  EXPECT_EQ(oversized.error, "big.ini: профиль допусков не больше 1 МиБ");
}

}  // namespace
}  // namespace kalvex
