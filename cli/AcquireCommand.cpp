// kalvex-cli acquire: one record from an acquisition unit on a serial device,
// with the worker of the Start button on its own thread; Ctrl+C is the Stop
// button.

#include <QDeadlineTimer>
#include <QThread>
#include <atomic>
#include <climits>
#include <csignal>
#include <iostream>
#include <memory>

#include "CliSession.h"
#include "Commands.h"
#include "ParameterOptions.h"
#include "acquisition/CommandBlock.h"
#include "acquisition/ReceivedRecord.h"
#include "acquisition/THardware.h"
#include "platform/FileAccess.h"
#include "platform/FileDump.h"
#include "platform/SystemSerialLink.h"
#include "recordings/DerivedValues.h"
#include "recordings/ParameterChecks.h"
#include "shell/TextCatalogue.h"

namespace kalvex::cli {
namespace {

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) {
  interrupted.store(true);
}

// Status lines on stderr as they change; the worker never waits for them
// beyond the write itself.
class StderrObserver : public AcquisitionObserver {
 public:
  void StatusText(const std::string& text) override {
    if (text != last_) std::cerr << text << "\n";
    last_ = text;
  }
  void Progress(int indicator) override {
    if (indicator >= ProgressSecondsBase) {
      std::cerr << "  " << indicator - ProgressSecondsBase << " s left\n";
    } else if (indicator < ProgressBlank && indicator / 10 != lastTenth_) {
      lastTenth_ = indicator / 10;
      std::cerr << "  " << indicator << " %\n";
    }
  }

 private:
  std::string last_;
  int lastTenth_ = -1;
};

struct WorkerRun {
  int result = -1;
  int systemError = 0;
};

// Runs the worker on its own thread (the serial link lives there), polling
// Ctrl+C as the stop request.
WorkerRun RunWorker(const std::string& device, const CommandBlock& block,
                    std::vector<std::uint8_t>& buffer, bool dump, int timeout1, int timeout2) {
  std::atomic<THardware*> worker{nullptr};
  WorkerRun run;
  // A QThread, as the serial port's notifiers expect.
  std::unique_ptr<QThread> thread(QThread::create([&] {
    DeviceLink port = LinkToDevice(device);
    StderrObserver observer;
    std::unique_ptr<FileDump> dumpFile = dump ? std::make_unique<FileDump>() : nullptr;
    THardware hardware(*port.link, observer, port.portNumber, block, buffer, dumpFile.get(),
                       timeout1, timeout2);
    worker.store(&hardware);
    hardware.Execute();
    worker.store(nullptr);
    run = {hardware.ResultCode(), hardware.SystemError()};
  }));
  thread->start();
  while (!thread->wait(QDeadlineTimer(50)))
    if (interrupted.load())
      if (THardware* w = worker.load()) w->RequestStop();
  return run;
}

}  // namespace

int RunAcquire(const Words& words, const QString& executablePath) {
  auto options = ParameterOptionNames(true);
  options.insert({"--port", "-o", "--timeout1", "--timeout2"});
  CliArgs args(words, options, {"--dump"});
  if (!args.Has("--port") || !args.Has("-o") || !args.Positional().empty())
    throw CliExit{ExitUsage, "usage: kalvex-cli acquire --port DEVICE [params] -o FILE"};
  // An empty name would let the link pick a device of its own.
  if (args.Get("--port").empty()) throw CliExit{ExitUsage, "--port needs a serial device"};
  // 0 is no time-out; nothing waits for ever by a negative value.
  const ProgramSettings defaults;
  const int timeout1 = args.GetIntInRange("--timeout1", 0, INT_MAX, defaults.Timeout1);
  const int timeout2 = args.GetIntInRange("--timeout2", 0, INT_MAX, defaults.Timeout2);
  CliSession s(executablePath);
  ApplyParameterOptions(args, s.recording, s.values);
  AcquisitionChoices choices;
  ApplyAcquisitionChoices(args, s.recording, choices);
  if (!ValidateParameters(s.recording, s.values, s.ui)) throw CliExit{ExitRefused, s.ui.lastError};
  SetRecordLengths(s.recording, s.values.SampleRateIndex);
  CommandBlock block;
  block.MarkParametersSet();  // the parameters are given on the command line
  if (!BuildCommandBlock(block, s.recording, s.values, choices, s.ui))
    throw CliExit{ExitRefused, s.ui.lastError};

  const RecordShape shape = ShapeOf(s.recording);
  std::vector<std::uint8_t> buffer(ExpectedDataSize(shape), 0);
  std::signal(SIGINT, OnInterrupt);
  const std::string device = args.Get("--port");
  const WorkerRun run = RunWorker(device, block, buffer, args.Has("--dump"), timeout1, timeout2);
  if (run.result == ResultStopped) return 130;
  if (run.result != ResultComplete)
    throw CliExit{ExitRefused, AcquisitionResultMessage(run.result, device, run.systemError)};
  if (!FillAcquiredRecord(s.recording, s.settings, buffer, shape, CurrentLocalTime(), s.ui))
    throw CliExit{ExitRefused, s.ui.lastError};
  ComputeAmplitudeNorm(s.recording, s.values.SampleRateIndex);

  s.SaveAsNewRecording(args.Get("-o"));
  return ExitOk;
}

}  // namespace kalvex::cli
