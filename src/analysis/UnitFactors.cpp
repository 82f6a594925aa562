#include "analysis/UnitFactors.h"

#include <cmath>

#include "recordings/TFrmFile.h"
#include "shell/ProgramSettings.h"

namespace kalvex {
namespace {

constexpr double kVoltsPerCount = 10.0 / 32768;
// A / sensitivity (mV/g) gives g per count.
constexpr double kAccelerometerScale = 10000.0 / 32768 / 8;
constexpr double kKgPerPound = 0.4536;

// Accelerometer channel (RM or BP) by code: V, g, T, Lbs, kN.
double Accelerometer(double c, double sensitivity, double weight, int code) {
  const double g = c * kAccelerometerScale / sensitivity;
  switch (code) {
    case 0:
      return c * kVoltsPerCount / 8;
    case 1:
      return g;
    case 2:
      return g * weight / 1000;
    case 3:
      return g * weight / kKgPerPound;
    case 4:
      return g * weight / 1000 * 9.8;
    default:
      return 1;
  }
}

// Ground force in kgf by code: T, Lbs, kN.
double GroundForce(int code) {
  switch (code) {
    case 0:
      return 0.001;
    case 1:
      return 1 / kKgPerPound;
    case 2:
      return 0.0098;
    default:
      return 1;
  }
}

double SimilarityFactor(const TFrmFile& rec, double a, int channel, int code) {
  if (code < 0) return 1;
  if (code > 4) return a;
  if (channel == 0 || code == 0) return a * kVoltsPerCount;
  const double force = a * 2 * rec.HoldDownWeight / 32768 / rec.TestOut;
  switch (code) {
    case 1:
      return force / 1000;
    case 2:
      return force / kKgPerPound;
    case 3:
      return force * 9.8 / 1000;
    default:
      return a;
  }
}

double OmbrelFactor(const TFrmFile& rec, const double* c, int channel, int code) {
  if (code < 0) return 1;
  if (code > 4) return c[1] * kVoltsPerCount;
  if (channel == 0) return c[0] * kVoltsPerCount;
  const double b = c[1] * 2 * rec.HoldDownWeight / 32768;
  switch (code) {
    case 0:
      return b / 1000;
    case 1:
      return b / kKgPerPound;
    case 2:
      return b * 9.8 / 1000;
    default:
      return c[1] * kVoltsPerCount;
  }
}

}  // namespace

double UnitFactor(const AnalysisContext& ctx, int mode, int channel, int unitCode,
                  Correction correction) {
  const TFrmFile& rec = ctx.rec;
  double c[6];
  for (int k = 0; k < 6; ++k)
    c[k] = correction == Correction::Included ? ctx.settings.ChannelCalibration[k] : 1.0;
  if (unitCode < 0) return 1;
  // Codes above 4 have no unit: 1, except in modes 2 and 4 (below).
  if (unitCode > 4 && mode != Similarity && mode != Ombrel16) return 1;
  switch (mode) {
    case Velnarund:
    case Tarpokline:
      if (channel >= 0 && channel <= 3) return c[channel] * kVoltsPerCount;
      if (channel == 4)
        return Accelerometer(c[4], rec.MassAccSensitivity, rec.ReactionMassWeight, unitCode);
      if (channel == 5)
        return Accelerometer(c[5], rec.BaseplateAccSensitivity, rec.BaseplateWeight, unitCode);
      return channel == 6 ? GroundForce(unitCode) : 1;
    case Similarity: {
      if (channel < 0 || channel > 6) return 1;
      double a = channel == 6
                     ? 1.0
                     : c[channel] * (rec.SimilarityChannels[channel].Attenuated ? 0.125 : 1.0);
      return SimilarityFactor(rec, a, channel, unitCode);
    }
    case Dodida:
      if (channel == 0) return c[2] * kVoltsPerCount;
      if (channel == 1)
        return Accelerometer(c[3], rec.MassAccSensitivity, rec.ReactionMassWeight, unitCode);
      if (channel == 2)
        return Accelerometer(c[4], rec.BaseplateAccSensitivity, rec.BaseplateWeight, unitCode);
      return channel == 3 ? GroundForce(unitCode) : 1;
    case Ombrel16:
      return channel == 0 || channel == 1 ? OmbrelFactor(rec, c, channel, unitCode) : 1;
    default:
      return 1;
  }
}

double EvenAbove(double x) {
  double r = std::nearbyint(x);
  return std::fmod(r, 2.0) == 0 ? r + 2 : r + 1;
}

double Hundreds(double x) {
  return std::nearbyint(x / 45.4) * 100 + 100;
}

double Twenties(double x) {
  return std::nearbyint(x / 98 / 20) * 20 + 20;
}

}  // namespace kalvex
