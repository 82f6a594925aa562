#include "QcWorkers.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <thread>

#include "analysis/ParallelBlocks.h"
#include "platform/FftWisdomMeasurer.h"
#include "platform/FftwLoader.h"

namespace kalvex::cli {
namespace {

void AppendField(QByteArray& bytes, const std::string& field) {
  bytes.append(field.data(), static_cast<qsizetype>(field.size()));
  bytes.append('\0');
}

// The worker's standard input: the profile file (empty: built-in), whether
// it keeps the FFT wisdom it gains ("1" for the first worker alone, so that
// one process writes the file), then per task its index, path, report stem
// and report number, each ended by a NUL byte, so that any file name passes
// unchanged; an empty index ends the tasks.
QByteArray TaskBytes(const std::vector<QcTask>& tasks, const QcRun& run, int worker, int workers) {
  QByteArray bytes;
  AppendField(bytes, run.profilePath);
  AppendField(bytes, worker == 0 ? "1" : "0");
  for (int i = worker; i < static_cast<int>(tasks.size()); i += workers)
    for (const std::string& field : {std::to_string(i), tasks[i].path, tasks[i].report.stem,
                                     std::to_string(tasks[i].report.number)})
      AppendField(bytes, field);
  AppendField(bytes, "");
  return bytes;
}

QcFileResult Abandoned(const QcTask& task) {
  QcFileResult r;
  r.path = task.path;
  r.refusedCode = ExitIo;
  r.abnormal = true;
  r.reason = "the check of this file ended abnormally";
  return r;
}

class WorkerPool {
 public:
  WorkerPool(const std::vector<QcTask>& tasks, const QcRun& run, const QcProgress& progress)
      : tasks_(tasks),
        run_(run),
        progress_(progress),
        results_(tasks.size()),
        got_(tasks.size(), false) {}

  void Start(int workers, const QStringList& arguments, const QString& program) {
    for (int w = 0; w < workers; ++w) {
      auto process = std::make_unique<QProcess>();
      process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
      QProcess* p = process.get();
      auto* silence = new QTimer(p);
      silence->setSingleShot(true);
      // A worker that stays silent too long (stopped, or stuck) is ended; its
      // unfinished files are marked as ended abnormally.
      QObject::connect(silence, &QTimer::timeout, [p] { p->kill(); });
      QObject::connect(p, &QProcess::readyReadStandardOutput, [this, p, silence] {
        Read(*p);
        silence->start();
      });
      QObject::connect(p, &QProcess::finished,
                       [this, p, silence](int code, QProcess::ExitStatus status) {
                         silence->stop();
                         Read(*p);
                         failed_ = failed_ || code != 0 || status != QProcess::NormalExit;
                         if (++finished_ == static_cast<int>(processes_.size())) loop_.quit();
                       });
      processes_.push_back(std::move(process));
      p->start(program, arguments);
      if (!p->waitForStarted()) {  // its files stay unchecked
        failed_ = true;
        ++finished_;
        continue;
      }
      // The write channel stays open until the run ends: its end tells the
      // worker that this process is gone.
      p->write(TaskBytes(tasks_, run_, w, workers));
      silence->start(run_.workerTimeoutSeconds * 1000);
    }
  }

  QcResults Wait() {
    if (finished_ < static_cast<int>(processes_.size())) loop_.exec();
    for (std::size_t i = 0; i < tasks_.size(); ++i)
      if (!got_[i]) results_[i] = Abandoned(tasks_[i]);
    return {std::move(results_), failed_};
  }

 private:
  void Read(QProcess& p) {
    while (p.canReadLine()) {
      const QByteArray line = p.readLine();
      const qsizetype tab = line.indexOf('\t');
      bool number = false;
      const int index = tab > 0 ? line.left(tab).toInt(&number) : -1;
      if (!number || index < 0 || index >= static_cast<int>(tasks_.size()) || got_[index]) continue;
      QcFileResult r;
      if (!ParseResultLine(line.mid(tab + 1), r)) continue;
      r.path = tasks_[index].path;  // the name exactly as given
      results_[index] = std::move(r);
      got_[index] = true;
      if (progress_) progress_(++done_);
    }
  }

  const std::vector<QcTask>& tasks_;
  const QcRun& run_;
  const QcProgress& progress_;
  std::vector<QcFileResult> results_;
  std::vector<bool> got_;
  std::vector<std::unique_ptr<QProcess>> processes_;
  QEventLoop loop_;
  int finished_ = 0;
  int done_ = 0;
  bool failed_ = false;
};

// Reads one NUL-ended field; false at the end of the input.
bool Field(std::istream& in, std::string& field) {
  return static_cast<bool>(std::getline(in, field, '\0'));
}

}  // namespace

QcResults CheckAll(const std::vector<QcTask>& tasks, const QcRun& run, int jobs,
                   const std::vector<std::string>& workerWords, const QString& executablePath,
                   const QcProgress& progress) {
  if (jobs <= 1 || tasks.size() <= 1) {
    QcResults results;
    for (const QcTask& t : tasks) {
      results.files.push_back(CheckRecordingFile(t.path, t.report, run, executablePath));
      if (progress) progress(static_cast<int>(results.files.size()));
    }
    return results;
  }
  QStringList arguments{"qc", "--worker"};
  for (const std::string& w : workerWords) arguments << QString::fromStdString(w);
  WorkerPool pool(tasks, run, progress);
  pool.Start(std::min<int>(jobs, static_cast<int>(tasks.size())), arguments, executablePath);
  return pool.Wait();
}

namespace {

// Ends this worker as soon as its standard input ends: the run's process
// holds it open until the run is over, so its end means that process is gone
// and nobody waits for the results any more.
void EndWithTheRun() {
  std::cin.tie(nullptr);  // the watch reads alone; the results go on being written
  std::thread([] {
    while (std::cin.get() != std::char_traits<char>::eof()) {
    }
    std::_Exit(ExitIo);
  }).detach();
}

}  // namespace

int RunQcWorker(QcRun run, const QString& executablePath) {
  // The processes already share the cores: one worker each.
  SetWorkerCount(1);
  LoadFftLibrary();
  std::string index, path, stem, number, keepWisdom;
  if (!Field(std::cin, path) || !Field(std::cin, keepWisdom)) return ExitUsage;
  if (!path.empty()) ReadLimitProfilePath(path, run);
  std::vector<std::pair<std::string, QcTask>> tasks;
  while (Field(std::cin, index) && !index.empty() && Field(std::cin, path) &&
         Field(std::cin, stem) && Field(std::cin, number))
    tasks.push_back({index, {path, {stem, std::atoi(number.c_str())}}});
  if (!index.empty()) return ExitIo;  // the input ended before its last task
  EndWithTheRun();
  for (const auto& [i, task] : tasks) {
    const QcFileResult r = CheckRecordingFile(task.path, task.report, run, executablePath);
    std::cout << i << '\t' << ResultLine(r).toStdString() << std::flush;
  }
  if (keepWisdom == "1") {
    SaveFftWisdom();
    StartFftWisdomMeasurement();
  }
  return ExitOk;
}

}  // namespace kalvex::cli
