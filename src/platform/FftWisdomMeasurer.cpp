#include "platform/FftWisdomMeasurer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <cstring>
#include <new>
#include <string>

#include "analysis/FftLibrary.h"
#include "platform/FftwLoader.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#endif

namespace kalvex {
namespace {

constexpr const char* kMode = "--measure-fft-wisdom";
// Longer than any transform an analysis makes (131 072 points and more for
// the correlation of the longest record), short of what would exhaust memory.
constexpr int kLongestLength = 1 << 22;

QString JoinLengths(const std::vector<int>& lengths) {
  QStringList words;
  for (int n : lengths) words << QString::number(n);
  return words.join(QLatin1Char(','));
}

// The lengths of "a,b,c"; false for anything but lengths of 1 to kLongestLength.
bool ParseLengths(const char* text, std::vector<int>& out) {
  const QStringList words = QString::fromLatin1(text).split(QLatin1Char(','));
  for (const QString& word : words) {
    bool ok = false;
    const int n = word.toInt(&ok);
    if (!ok || n < 1 || n > kLongestLength) return false;
    out.push_back(n);
  }
  return true;
}

void LowerPriority() {
#ifdef _WIN32
  SetPriorityClass(GetCurrentProcess(), IDLE_PRIORITY_CLASS);
#else
  setpriority(PRIO_PROCESS, 0, 19);
#endif
}

}  // namespace

QStringList FftWisdomMeasurementArguments() {
  const FftLengths wanted = FftLibrary::WantingMeasurement();
  if (wanted.Empty()) return {};
  QStringList words{QLatin1String(kMode)};
  if (!wanted.forward.empty()) words << QStringLiteral("--lengths") << JoinLengths(wanted.forward);
  if (!wanted.inverse.empty()) words << QStringLiteral("--inverse") << JoinLengths(wanted.inverse);
  return words;
}

bool StartFftWisdomMeasurement() {
  const QStringList words = FftWisdomMeasurementArguments();
  if (words.isEmpty() || !QCoreApplication::instance()) return false;
  QProcess process;
  process.setProgram(QCoreApplication::applicationFilePath());
  process.setArguments(words);
  // Nothing of the run's pipes is held open by the measuring process.
  process.setStandardInputFile(QProcess::nullDevice());
  process.setStandardOutputFile(QProcess::nullDevice());
  process.setStandardErrorFile(QProcess::nullDevice());
  return process.startDetached();
}

std::optional<int> MeasureFftWisdomIfAsked(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], kMode) != 0) return std::nullopt;
  FftLengths lengths;
  for (int i = 2; i < argc; ++i) {
    const bool forward = std::strcmp(argv[i], "--lengths") == 0;
    if ((!forward && std::strcmp(argv[i], "--inverse") != 0) || i + 1 == argc ||
        !ParseLengths(argv[++i], forward ? lengths.forward : lengths.inverse))
      return 1;
  }
  LowerPriority();
  QCoreApplication app(argc, argv);
  if (!LoadFftLibrary()) return 2;
  // One measuring process at a time: a second waits, then finds the first
  // one's plans in the file and measures only what is still missing.
  QDir().mkpath(QFileInfo(FftWisdomPath()).absolutePath());
  QLockFile measuring(FftWisdomPath() + QStringLiteral(".measuring"));
  measuring.setStaleLockTime(15 * 60 * 1000);
  if (!measuring.tryLock(10 * 60 * 1000)) return 3;
  ImportFftWisdomFile();
  try {
    FftLibrary::MeasureWisdom(lengths);
  } catch (const std::bad_alloc&) {
    return 3;
  }
  SaveFftWisdom();
  return FftLibrary::WisdomChanged() ? 3 : 0;
}

}  // namespace kalvex
