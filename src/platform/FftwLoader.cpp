#include "platform/FftwLoader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QLockFile>
#include <QStandardPaths>

#include "analysis/FftLibrary.h"
#include "platform/FileAccess.h"

namespace kalvex {
namespace {

QString PlatformLibraryName() {
  // A stand-in library for tests and diagnosis.
  QString chosen = qEnvironmentVariable("KALVEX_FFTW_LIBRARY");
  if (!chosen.isEmpty()) return chosen;
#ifdef Q_OS_WIN
  return QStringLiteral("libfftw3-3.dll");
#else
  return QStringLiteral("libfftw3.so.3");
#endif
}

template <typename Fn>
void Resolve(QLibrary& lib, const char* name, Fn& target) {
  target = reinterpret_cast<Fn>(lib.resolve(name));
}

}  // namespace

QString FftWisdomPath() {
  const QString chosen = qEnvironmentVariable("KALVEX_FFTW_WISDOM");
  if (!chosen.isEmpty()) return chosen;
  return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
         QStringLiteral("/Kalvex/fftw-wisdom");
}

bool ImportFftWisdomFile() {
  QFile file(FftWisdomPath());
  if (!file.open(QIODevice::ReadOnly)) return false;
  return FftLibrary::ImportWisdom(file.readAll().toStdString());
}

namespace {

// The library stays loaded until the process ends.
QLibrary& Library() {
  static QLibrary library;
  return library;
}

}  // namespace

QString FftLibraryVersion() {
  if (!FftLibrary::Available() || !Library().isLoaded()) return {};
  // fftw_version is the library's own text, a data symbol.
  const auto* text = reinterpret_cast<const char*>(Library().resolve("fftw_version"));
  return text ? QString::fromLatin1(text) : QString();
}

bool LoadFftLibrary(const QString& libraryName) {
  QLibrary& library = Library();
  static FftEntryPoints api;
  library.setFileName(libraryName.isEmpty() ? PlatformLibraryName() : libraryName);
  if (!library.load()) {
    FftLibrary::Bind(nullptr);
    return false;
  }
  Resolve(library, "fftw_plan_dft_r2c_1d", api.fftw_plan_dft_r2c_1d);
  Resolve(library, "fftw_plan_dft_c2r_1d", api.fftw_plan_dft_c2r_1d);
  Resolve(library, "fftw_execute", api.fftw_execute);
  Resolve(library, "fftw_destroy_plan", api.fftw_destroy_plan);
  Resolve(library, "fftw_malloc", api.fftw_malloc);
  Resolve(library, "fftw_free", api.fftw_free);
  Resolve(library, "fftw_import_wisdom_from_string", api.fftw_import_wisdom_from_string);
  Resolve(library, "fftw_export_wisdom", api.fftw_export_wisdom);
  FftLibrary::SetMeasureAtFirstUse(qEnvironmentVariable("KALVEX_FFT_PLANNER") ==
                                   QLatin1String("measure"));
  FftLibrary::Bind(&api);
  if (!FftLibrary::Available()) return false;
  // Read through Qt, so that a user folder of any name works on Windows too.
  ImportFftWisdomFile();
  return true;
}

void SaveFftWisdom() {
  if (!FftLibrary::Available() || !FftLibrary::WisdomChanged()) return;
  const QString path = FftWisdomPath();
  QDir().mkpath(QFileInfo(path).absolutePath());
  // One writer at a time, so that two processes' merges do not lose each
  // other's plans; a writer that does not finish in time leaves the file to
  // the next run.
  QLockFile lock(path + QStringLiteral(".lock"));
  if (!lock.tryLock(5000)) return;
  QByteArray stored;
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) stored = file.readAll();
  file.close();
  const std::string merged = FftLibrary::MergedWisdom(stored.toStdString());
  if (merged.empty()) return;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(merged.data());
  if (SaveFileAtomically(path.toStdString(), {bytes, merged.size()}).empty())
    FftLibrary::WisdomSaved();
}

}  // namespace kalvex
