// kalvex-cli: checks, batch processing and scripting of vibrator test records
// without a display.

#include <QCoreApplication>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif
#include <QGuiApplication>
#include <algorithm>
#include <iostream>
#include <map>
#include <memory>
#include <optional>

#include "CliArgs.h"
#include "Commands.h"
#include "platform/FftWisdomMeasurer.h"

namespace {

using kalvex::cli::Words;
using Runner = int (*)(const Words&, const QString&);

struct Subcommand {
  Runner run;
  const char* usage;
};

const std::map<std::string, Subcommand>& Subcommands() {
  static const std::map<std::string, Subcommand> table = {
      {"info",
       {kalvex::cli::RunInfo,
        "info FILE [--json] [--polarity positive|negative]\n"
        "    Reads a recording file and prints its parameters and channels."}},
      {"samples",
       {kalvex::cli::RunSamples,
        "samples FILE [--channel K] [--csv]\n"
        "    Prints index,ch0,ch1,...[,derived] per sample, after the "
        "polarity rule; --csv adds a header row."}},
      {"graph",
       {kalvex::cli::RunGraph,
        "graph FILE --type TYPE [--option K] [--channels a,b,..] [--units u,v,..]\n"
        "      [--reference R] [--main M] [--measure 0..3] [--db 0|1] [--orders a,b,..]\n"
        "      [--kinds LIST] [--dimension 0|1] [--mask BITS] [--time-point T] [--json OUT]\n"
        "      [--png OUT [--size WxH]]\n"
        "    Builds a graph window with the report's defaults, applies the overrides,\n"
        "    computes it and writes it as JSON (OUT '-' or absent: standard output);\n"
        "    --png draws it in colour into a PNG image (default 1000x600; JSON then\n"
        "    only with --json).\n"
        "    TYPE: SignalTraces, Amplitude, Phase, Distortion, Harmonics, Spectrum,\n"
        "    Correlation, FrequencyVsTime, Ground, Power, AccCompare."}},
      {"frames",
       {kalvex::cli::RunFrames,
        "frames FILE -o OUT\n"
        "    Writes the per-frame tables of the RM and BP channels "
        "(the \"Signals.TXT\" text)."}},
      {"synth",
       {kalvex::cli::RunSynth,
        "synth --mode M --rate-index K --seconds T -o FILE [params]\n"
        "    Saves the synthetic test signal of the mode as a new recording file.\n"
        "    params: --hdw --rm --bp --acc-rm --acc-bp --servo-current --trigger-level\n"
        "    --trigger-delay --voltage --current --sensor --test-out --polarity --comment\n"
        "    --channels-on 1,2,3 --x8 LIST\n"
        "    models: --models-dir DIR (default: the current directory) with --vib-model NAME\n"
        "    --acc-model NAME --control-model NAME --source-model NAME; the named model fills\n"
        "    its parameters, an explicit option wins (models filling the same parameter:\n"
        "    the later of vib, acc, control, source)"}},
      {"command-block",
       {kalvex::cli::RunCommandBlock,
        "command-block [params] [--trigger-channel I --trigger-edge E --acc-delay-code D]\n"
        "    Prints the 23-byte command block as the \"Командный файл\" dialog shows it.\n"
        "    params as for synth, the model options included; --acc-model also sets the\n"
        "    delay code unless --acc-delay-code is given."}},
      {"acquire",
       {kalvex::cli::RunAcquire,
        "acquire --port DEVICE [params] -o FILE [--timeout1 S] [--timeout2 S] [--dump]\n"
        "    Takes one record from an acquisition unit on a serial device and saves it\n"
        "    as a new recording file; progress on stderr; Ctrl+C stops (exit 130).\n"
        "    params and model options as for command-block."}},
      {"models",
       {kalvex::cli::RunModels,
        "models [DIR] [--json]\n"
        "    Reads VibModels.ini, AccModels.ini, ControlModels.ini and SourceModels.ini\n"
        "    from DIR (default: the current directory) as the program does at start-up\n"
        "    and prints the entries it keeps; a missing file is an empty list."}},
      {"report",
       {kalvex::cli::RunReport,
        "report FILE -o OUT.pdf|OUT.png [--vib-number T] [--drive-level N] [--start-hz N]\n"
        "       [--end-hz N] [--duration N] [--signal-type T] [--parameter T]\n"
        "       [--vib-model NAME] [--models-dir DIR] [--bw] [--landscape] [--limits FILE]\n"
        "    Draws the one-page report of the recording: a PDF of vectors on A4 (portrait\n"
        "    unless --landscape) or a PNG of 1500x1200 pixels (1500x900 in modes 2 and 4).\n"
        "    The options give the report dialog's texts (empty when absent); --vib-model\n"
        "    names a model of the vibrator list in DIR (default: the current directory);\n"
        "    --bw prints in black and white; --limits adds the QC block judged against\n"
        "    that limit profile. A recording without samples is refused."}},
      {"project",
       {kalvex::cli::RunProject,
        "project FILE [--json]\n"
        "    Reads a project file (Kalvex.prj) as the program does at start-up and prints\n"
        "    the main record and each window record the replay accepts, and where and why\n"
        "    the replay ends; a file the program would ignore exits 2 with the reason."}},
      {"qc",
       {kalvex::cli::RunQc,
        "qc PATH... [--limits FILE] [--report-dir DIR] [--json OUT] [--csv OUT] [--jobs N]\n"
        "   [--worker-timeout S] [--history DB [--vibrator NAME | --vibrator-from\n"
        "   comment|name --pattern REGEX]]\n"
        "    Checks recordings against a limit profile (built-in unless --limits names\n"
        "    one): folders are searched for *.qrm and *.fmr; a table on standard output,\n"
        "    JSON and CSV (OUT '-': standard output) with the program version, each\n"
        "    file's SHA-256, the settings and the profile; a PDF report with the QC\n"
        "    block per file in DIR. Files are checked in N processes (default: the\n"
        "    cores), reported in input order. Exit 0 all pass, 4 a figure failed or\n"
        "    could not be computed, 2 a file was refused (the others still checked),\n"
        "    3 a worker ended abnormally or stayed silent S seconds (default 60).\n"
        "    --history DB keeps every judgement in that QC history (SQLite), each\n"
        "    channel under its vibrator: the similarity channel's name, else\n"
        "    --vibrator NAME, or the first match of --pattern REGEX (its first group\n"
        "    when it has one) in the comment or the file name (--vibrator-from\n"
        "    comment|name), else the file name without its extension."}},
      {"history",
       {kalvex::cli::RunHistory,
        "history DB [--vibrator V] [--figure F] [--since DATE] [--until DATE]\n"
        "        [--json OUT | --csv OUT] [--png OUT | --pdf OUT]\n"
        "    The QC history kept by qc --history and the desktop: each vibrator's latest\n"
        "    verdict; per vibrator, day and figure the count, mean, worst and fails; per\n"
        "    vibrator and figure the drift, the Theil-Sen slope of the daily means over\n"
        "    the last 14 days and the day it would cross the limit it heads toward\n"
        "    (DRIFTING when within 30 days). --png draws one vibrator's figures over the\n"
        "    days, --pdf a page per vibrator. Exit 0, 4 a latest judgement did not pass\n"
        "    or a vibrator is drifting, 3 the database cannot be read."}},
      {"export-segy",
       {kalvex::cli::RunExportSegy,
        "export-segy FILE -o OUT.sgy [--format ieee|ibm] [--sweep-start HZ] [--sweep-end HZ]\n"
        "            [--sweep-type linear|parabolic|exponential|other]\n"
        "    Writes the recording as SEG-Y revision 1: a trace per channel (the derived\n"
        "    channel too) in the units the Signal Traces window shows first, the textual\n"
        "    header naming mode, channels, units, comment and parameters."}},
      {"import-segy",
       {kalvex::cli::RunImportSegy,
        "import-segy IN.sgy --mode M [--map CH=TRACE,...] [--scale TRACE=FACTOR,...]\n"
        "            [--seconds T] -o OUT.qrm [params]\n"
        "    Makes a recording of SEG-Y traces: each mapped trace (1-based) becomes the\n"
        "    named channel, in counts at the full scale of its unit, clipped beyond it;\n"
        "    without --map a file exported here maps back by its channel numbers. The\n"
        "    rate comes from the sample interval, the sweep from --seconds, else the\n"
        "    file's sweep length, else the record less 500 samples. params as for synth\n"
        "    (no --rate-index)."}},
      {"resave",
       {kalvex::cli::RunResave,
        "resave IN OUT\n"
        "    Reads IN and writes OUT keeping the header image, as "
        "\"Save as\" does for a file read from disk."}},
  };
  return table;
}

void PrintHelp(std::ostream& out) {
  out << "usage: kalvex-cli SUBCOMMAND [options]\n\nSubcommands:\n";
  for (const auto& [name, sub] : Subcommands()) out << "  " << sub.usage << "\n";
  out << "\nOptions of every computing subcommand: --amplitude-frame N --amplitude-step N\n"
         "  --fft-size nearest|32768|signal --calibration c1,...,c6 --min-spectrum DB\n"
         "  --min-correlation DB --use-settings --lang CODE --polarity positive|negative\n"
         "Every subcommand: --verbose also shows the toolkit's own warnings.\n"
         "Exit codes: 0 success, 1 bad command line, 2 input refused, 3 I/O error,\n"
         "  4 (qc) a recording did not pass.\n";
}

// The toolkit's own warnings (the offscreen platform's notes on the runtime
// folder, say) are not the program's output: standard error carries only the
// program's messages, one line each, unless --verbose asks for them.
void DropToolkitMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

// Drawing text needs fonts and so the GUI application; the command line never
// opens a window, so it runs on the offscreen platform unless told otherwise.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv, bool verbose) {
  if (!verbose) qInstallMessageHandler(DropToolkitMessages);
  auto has = [argc, argv](const char* option) {
    return std::find_if(argv + 2, argv + argc, [option](const char* word) {
             return std::string(word) == option;
           }) != argv + argc;
  };
  const std::string sub = argc > 1 ? argv[1] : "";
  const bool report = sub == "report" || (sub == "qc" && (has("--report-dir") || has("--reports")));
  const bool draws = report || (sub == "graph" && has("--png")) ||
                     (sub == "history" && (has("--png") || has("--pdf")));
  if (!draws) return std::make_unique<QCoreApplication>(argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  return std::make_unique<QGuiApplication>(argc, argv);
}

// Runs the subcommand; a failed write to the standard output (a full disk, a
// closed pipe) is an I/O error, never success.
int Run(const Subcommand& sub, const Words& rest) {
  try {
    const int code = sub.run(rest, QCoreApplication::applicationFilePath());
    std::cout.flush();
    if (!std::cout)
      throw kalvex::cli::CliExit{kalvex::cli::ExitIo, "cannot write the standard output"};
    return code;
  } catch (const kalvex::cli::CliExit& e) {
    std::cerr << e.message << "\n";
    if (e.code == kalvex::cli::ExitUsage) std::cerr << "usage: kalvex-cli " << sub.usage << "\n";
    return e.code;
  } catch (const std::bad_alloc&) {
    std::cerr << "not enough memory\n";
    return kalvex::cli::ExitIo;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> code = kalvex::MeasureFftWisdomIfAsked(argc, argv)) return *code;
  const bool verbose = std::find_if(argv + 1, argv + argc, [](const char* word) {
                         return std::string(word) == "--verbose";
                       }) != argv + argc;
  const std::unique_ptr<QCoreApplication> app = MakeApplication(argc, argv, verbose);
  Words words;
#ifdef _WIN32
  // Outputs are written byte for byte (no "\r" before each "\n"), and the
  // words come as UTF-8 whatever the code page (argv would be the ANSI one).
  _setmode(_fileno(stdout), _O_BINARY);
  const QStringList arguments = QCoreApplication::arguments();
  for (int i = 1; i < arguments.size(); ++i)
    if (arguments[i] != QLatin1String("--verbose")) words.push_back(arguments[i].toStdString());
#else
  for (int i = 1; i < argc; ++i)
    if (std::string(argv[i]) != "--verbose") words.emplace_back(argv[i]);
#endif
  if (words.empty() || words[0] == "help" || words[0] == "--help" || words[0] == "-h") {
    PrintHelp(words.empty() ? std::cerr : std::cout);
    return words.empty() ? kalvex::cli::ExitUsage : kalvex::cli::ExitOk;
  }
  auto it = Subcommands().find(words[0]);
  if (it == Subcommands().end()) {
    std::cerr << "kalvex-cli: unknown subcommand " << words[0] << "\n";
    PrintHelp(std::cerr);
    return kalvex::cli::ExitUsage;
  }
  Words rest(words.begin() + 1, words.end());
  if (rest.size() == 1 && (rest[0] == "--help" || rest[0] == "-h")) {
    std::cout << "usage: kalvex-cli " << it->second.usage << "\n";
    return kalvex::cli::ExitOk;
  }
  return Run(it->second, rest);
}
