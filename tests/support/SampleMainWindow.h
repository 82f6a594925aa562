#pragma once
// The desktop program's main window started on a copy of a bundled sample
// recording, with a scripted operator, as the platform tests drive it.

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

#include "TForm1.h"
#include "support/FakeUserInteraction.h"
#include "support/QtApplication.h"

namespace kalvex::test {

struct SampleMainWindow {
  // Opens `sample` (a file name in the samples folder), with the serial
  // devices of the command line that do not exist; `started` tells whether
  // start-up finished with it open.
  explicit SampleMainWindow(const char* sample, const QStringList& missingDevices = {}) {
    EnsureApplication();
    const QString path = dir.filePath(sample);
    QFile::copy(QString(KALVEX_SAMPLES_DIR "/") + sample, path);
    auto fake = std::make_unique<FakeUserInteraction>();
    ui = fake.get();
    main = std::make_unique<TForm1>(path, std::move(fake));
    main->WarnOfMissingDevices(missingDevices);
    QSignalSpy finished(main.get(), &TForm1::StartUpFinished);
    main->show();
    started = finished.wait(5000);
  }

  QTemporaryDir dir;
  FakeUserInteraction* ui = nullptr;
  std::unique_ptr<TForm1> main;
  bool started = false;
};

}  // namespace kalvex::test
