#include "qc/QcVerdict.h"

#include <cstdio>

#include "shell/ProgramSettings.h"

namespace kalvex {
namespace {

std::string Decimal(double value, int digits) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", digits, value);
  return text;
}

// Shortest text that reads back as the value (limits and factors).
std::string Plain(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

}  // namespace

const char* VerdictText(QcVerdict verdict) {
  switch (verdict) {
    case QcVerdict::Pass:
      return "PASS";
    case QcVerdict::Fail:
      return "FAIL";
    case QcVerdict::NotJudged:
      return "-";
    case QcVerdict::NotAvailable:
      break;
  }
  return "n/a";
}

const char* OverallText(QcOverall overall) {
  switch (overall) {
    case QcOverall::Pass:
      return "PASS";
    case QcOverall::Fail:
      return "FAIL";
    case QcOverall::Undecided:
      break;
  }
  return "UNDECIDED";
}

QcVerdict Judge(const QcChannelFigures& figures, QcFigureId id, const FigureLimit& limit) {
  if (!limit.Any()) return QcVerdict::NotJudged;
  if (!figures.Available(id)) return QcVerdict::NotAvailable;
  const double v = figures.Value(id);
  if ((limit.min && v < *limit.min) || (limit.max && v > *limit.max)) return QcVerdict::Fail;
  return QcVerdict::Pass;
}

QcVerdict QcOutcome::VerdictOf(const QcChannelFigures& channel, QcFigureId id) const {
  return Judge(channel, id, profile.Of(id));
}

QcOverall QcOutcome::ChannelOverall(const QcChannelFigures& channel) const {
  QcOverall overall = QcOverall::Pass;
  for (const QcFigureKind& k : QcFigureKinds()) {
    const QcVerdict v = VerdictOf(channel, k.id);
    if (v == QcVerdict::Fail) return QcOverall::Fail;
    if (v == QcVerdict::NotAvailable) overall = QcOverall::Undecided;
  }
  return overall;
}

QcOverall QcOutcome::Overall() const {
  if (figures.channels.empty()) return QcOverall::Undecided;
  QcOverall overall = QcOverall::Pass;
  for (const QcChannelFigures& c : figures.channels) {
    const QcOverall o = ChannelOverall(c);
    if (o == QcOverall::Fail) return QcOverall::Fail;
    if (o == QcOverall::Undecided) overall = QcOverall::Undecided;
  }
  return overall;
}

std::string QcOutcome::FailedKeys(const QcChannelFigures& channel) const {
  std::string keys;
  for (const QcFigureKind& k : QcFigureKinds()) {
    if (VerdictOf(channel, k.id) != QcVerdict::Fail) continue;
    if (!keys.empty()) keys += ',';
    keys += k.key;
  }
  return keys;
}

std::string SettingsProvenance(const ProgramSettings& s) {
  std::string calibration;
  for (double c : s.ChannelCalibration) calibration += (calibration.empty() ? "" : ",") + Plain(c);
  return "frame " + std::to_string(s.AmplitudeFrame) + ", step " + std::to_string(s.AmplitudeStep) +
         ", FFT " + InputSizeName(s.InputSize) + ", calibration " + calibration +
         ", spectrum floor " + std::to_string(s.MinSpectrum) + " dB, correlation floor " +
         std::to_string(s.MinCorrelation) + " dB";
}

std::string FigureText(const QcChannelFigures& channel, QcFigureId id) {
  return channel.Available(id) ? Decimal(channel.Value(id), 2) : "n/a";
}

std::string LimitText(const FigureLimit& limit) {
  if (limit.min && limit.max) return Plain(*limit.min) + ".." + Plain(*limit.max);
  if (limit.min) return ">= " + Plain(*limit.min);
  if (limit.max) return "<= " + Plain(*limit.max);
  return "-";
}

}  // namespace kalvex
