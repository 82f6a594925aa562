#include "VibratorModel.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <complex>
#include <cstring>
#include <numbers>

#include "recordings/RecordingModes.h"

namespace kalvex::vibmodel {
namespace {

using Complex = std::complex<double>;
constexpr double kPi = std::numbers::pi;
constexpr double kRadiansPerDegree = kPi / 180;
constexpr double kCountsPerVolt = 32768 / 10.0;
constexpr double kFullScale = 32767;
constexpr int kHarmonics = 5;  // the fundamental and harmonics 2..5

// The vibrator drives the ground at this share of its hold-down weight.
constexpr double kDriveShare = 0.7;
// The ground under the baseplate: stiffness (N/m) and damping (N·s/m).
constexpr double kGroundStiffness = 2e8;
constexpr double kGroundDamping = 1.2e6;
// Sensor noise, counts RMS, on every channel but REF.
constexpr double kNoiseCounts = 3;

// SplitMix64: a small generator whose numbers depend on the seed only, with
// no standard-library distribution (those differ between libraries).
class Generator {
 public:
  explicit Generator(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1), exactly representable.
  double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
  // Near-normal with unit variance: four uniforms summed (arithmetic only,
  // so that every platform draws the same values).
  double Normal() {
    double sum = 0;  // one draw after the other: the order of the draws is fixed
    for (int k = 0; k < 4; ++k) sum += Uniform();
    return (sum - 2) * std::numbers::sqrt3;
  }

 private:
  std::uint64_t state_;
};

// What sets one healthy vibrator apart from another, drawn from the seed: a
// slowly wandering phase error of a few degrees, a small ripple of the force
// level and its own share of harmonics.
struct Traits {
  double phaseOffset;      // degrees
  double phaseWander;      // degrees
  double wanderStart;      // radians
  double levelRipple;      // share of the force level
  double distortionScale;  // times the usual harmonics
};

Traits DrawTraits(Generator& g) {
  Traits t{};
  t.phaseOffset = -1.5 + 3 * g.Uniform();
  t.phaseWander = 1 + 1.5 * g.Uniform();
  t.wanderStart = 2 * kPi * g.Uniform();
  t.levelRipple = 0.02 + 0.03 * g.Uniform();
  t.distortionScale = 0.8 + 0.5 * g.Uniform();
  return t;
}

// Harmonics 2..5: their shares of the total distortion (amplitudes, root sum
// of squares 1) and their phases against the fundamental's.
constexpr double kHarmonicShare[kHarmonics] = {0, 0.751, 0.501, 0.350, 0.250};
constexpr double kHarmonicPhase[kHarmonics] = {0, 20, 30, -20, -30};  // degrees

// Total harmonic distortion of the ground force at sweep position x (0..1),
// as a share of the fundamental: a healthy vibrator distorts most at the low
// frequencies of the sweep, where its stroke is longest.
double DistortionShare(const Faults& faults, const Traits& traits, double x) {
  if (faults.distortion >= 0) return faults.distortion / 100;
  return 0.025 * traits.distortionScale * (1 + 1.5 * (1 - x) * (1 - x));
}

// The program judges harmonics frame by frame (frames of 512 samples by
// default): harmonic h sweeps h times as fast as the fundamental, so within a
// frame its spectrum spreads and its peak falls. This is the peak of a
// Hamming-windowed linear sweep of `rate` Hz/s against a steady tone's; the
// model raises each harmonic by the fundamental's share over its own, so that
// the distortion comes out in the program's figures as the model means it.
double FramePeakShare(double rate, int fs) {
  constexpr int m = 512;
  std::array<double, m> weight{}, tau{};
  double total = 0;
  for (int j = 0; j < m; ++j) {
    weight[j] = 0.54 - 0.46 * std::cos(2 * kPi * j / (m - 1));
    tau[j] = (j - (m - 1) / 2.0) / fs;
    total += weight[j];
  }
  // The spectrum is symmetric about the frame's centre frequency.
  const double reach = std::abs(rate) * m / fs / 2 + 2.0 * fs / m;
  double best = 0;
  for (double offset = 0; offset <= reach; offset += fs / (8.0 * m)) {
    double re = 0, im = 0;
    for (int j = 0; j < m; ++j) {
      const double angle = kPi * rate * tau[j] * tau[j] - 2 * kPi * offset * tau[j];
      re += weight[j] * std::cos(angle);
      im += weight[j] * std::sin(angle);
    }
    best = std::max(best, std::hypot(re, im));
  }
  return best / total;
}

// Per harmonic h, the factor that makes the frame analysis see it at its
// intended share of the fundamental.
std::array<double, kHarmonics + 1> HarmonicGains(const VibratorSetup& setup) {
  const double rate =
      (setup.sweep.endHz - setup.sweep.startHz) * setup.sampleRate / std::max(setup.sweepLength, 1);
  const double fundamental = FramePeakShare(rate, setup.sampleRate);
  std::array<double, kHarmonics + 1> gains{};
  for (int h = 2; h <= kHarmonics; ++h)
    gains[h] = fundamental / FramePeakShare(h * rate, setup.sampleRate);
  return gains;
}

// The ground force at one sample, as its components: harmonic h (1..5) is
// Im(component[h] · e^{i·h·θ}), in kgf; θ follows the sweep's phase less the
// phase error.
struct ForceComponents {
  std::array<Complex, kHarmonics + 1> component{};
  std::array<double, kHarmonics + 1> sinTheta{}, cosTheta{};
};

class Vibrator {
 public:
  // `seen` raises each harmonic as HarmonicGains says.
  Vibrator(const VibratorSetup& setup, const Traits& traits,
           const std::array<double, kHarmonics + 1>& seen)
      : setup_(setup), traits_(traits), seen_(seen) {}

  // Components at sample i of the sweep; `phase` is the sweep's phase there
  // (radians), `taper` its envelope.
  ForceComponents At(int i, double phase, double taper) const {
    const double x = static_cast<double>(i) / setup_.sweepLength;
    const Faults& f = setup_.faults;
    // The Phase graph shows the reference's phase less the channel's.
    const double error = traits_.phaseOffset +
                         traits_.phaseWander * std::sin(2 * kPi * 0.9 * x + traits_.wanderStart) +
                         f.phaseError + f.phaseDrift * x;
    const double theta = phase - error * kRadiansPerDegree;
    // A little ripple and a force that falls off slightly at the top of the sweep.
    const double level =
        kDriveShare * setup_.holdDownKg * taper *
        (1 + traits_.levelRipple * std::sin(2 * kPi * 1.3 * x + traits_.wanderStart)) *
        (1 - 0.06 * x * x);
    const double distortion = DistortionShare(f, traits_, x);
    ForceComponents c;
    for (int h = 1; h <= kHarmonics; ++h) {
      const double share = h == 1 ? 1 : distortion * kHarmonicShare[h - 1] * seen_[h];
      c.component[h] = std::polar(level * share, kHarmonicPhase[h - 1] * kRadiansPerDegree);
      c.sinTheta[h] = std::sin(h * theta);
      c.cosTheta[h] = std::cos(h * theta);
    }
    return c;
  }

 private:
  const VibratorSetup& setup_;
  Traits traits_;
  std::array<double, kHarmonics + 1> seen_;
};

// What a channel records of the ground force: its response (counts per kgf)
// at an angular frequency.
enum class Pickup {
  Reference,
  ForceOutput,    // the electronics' force signal, in phase with the ground force
  ReactionMass,   // accelerometer on the reaction mass
  Baseplate,      // accelerometer on the baseplate
  Valve,          // servo-valve spool position: follows the mass velocity
  ServoCurrent,   // the current that drives the valve
  SourceCurrent,  // drive current of an electric source: in phase with the force
  SourceVoltage,  // its drive voltage: leads the current as the coil's inductance does
  None,           // an input without a sensor: zeros
};

struct Channel {
  Pickup pickup = Pickup::None;
  double gain = 0;  // counts per kgf (ForceOutput), else counts at the drive force
  int vibrator = 0;
};

// Baseplate acceleration in g per kgf of ground force: the plate on a
// spring-damper ground, force F = K·x + C·v, so a = −ω²·F / (K + iωC).
Complex BaseplateResponse(double omega) {
  // Divided out by hand: library complex division differs between platforms
  // in the last bits.
  const double damping = omega * kGroundDamping;
  const double scale = -omega * omega / (kGroundStiffness * kGroundStiffness + damping * damping);
  return {scale * kGroundStiffness, -scale * damping};
}

double CountsPerG(double sensitivityMillivolts) {
  return sensitivityMillivolts * 32768 / 1250;
}

class ChannelResponse {
 public:
  ChannelResponse(const VibratorSetup& setup, const Channel& channel)
      : setup_(setup), channel_(channel) {}

  Complex At(double omega) const {
    const double driveKgf = kDriveShare * setup_.holdDownKg;
    const double lowOmega = 2 * kPi * 10;       // the valve's and current's reference frequency
    const Complex valve(0, -lowOmega / omega);  // lowOmega / (iω)
    switch (channel_.pickup) {
      case Pickup::ForceOutput:
        return channel_.gain;
      case Pickup::ReactionMass:
        // The weighted sum of both accelerations is the ground force.
        return (1.0 - setup_.baseplateKg * BaseplateResponse(omega)) / setup_.reactionMassKg *
               CountsPerG(setup_.massAccSensitivity);
      case Pickup::Baseplate:
        return BaseplateResponse(omega) * CountsPerG(setup_.baseplateAccSensitivity);
      case Pickup::Valve:
        return channel_.gain / driveKgf * valve;
      case Pickup::ServoCurrent:
        return channel_.gain / driveKgf * valve * Complex(1, omega / (2 * kPi * 150));
      case Pickup::SourceCurrent:
        return channel_.gain / driveKgf;
      case Pickup::SourceVoltage:
        return channel_.gain / driveKgf * Complex(1, omega / (2 * kPi * 60));
      case Pickup::Reference:
      case Pickup::None:
        break;
    }
    return 0;
  }

 private:
  const VibratorSetup& setup_;
  const Channel& channel_;
};

// The channels of the mode, in slot order.
std::vector<Channel> Layout(const VibratorSetup& s) {
  const double volt = kCountsPerVolt;
  // The force signal the report shows as the VIB signal: 1 V at the hold-down weight.
  const Channel forceOutput{Pickup::ForceOutput, volt / s.holdDownKg, 0};
  const Channel rm{Pickup::ReactionMass, 0, 0}, bp{Pickup::Baseplate, 0, 0};
  const Channel ref{Pickup::Reference, 0, 0};
  // The six-channel modes: REF, two drive channels, the force signal, RM and BP.
  auto sixChannels = [&](const Channel& first, const Channel& second) {
    return std::vector<Channel>{ref, first, second, forceOutput, rm, bp};
  };
  switch (s.mode) {
    case Velnarund:  // REF, Current, Valve, Mass, RM, BP
      return sixChannels({Pickup::ServoCurrent, 0.8 * volt, 0}, {Pickup::Valve, 1.2 * volt, 0});
    case Tarpokline:  // REF, Voltage, Current, Sensor, RM, BP
      return sixChannels({Pickup::SourceVoltage, 0.6 * volt, 0},
                         {Pickup::SourceCurrent, 1.2 * volt, 0});
    case Similarity: {
      // Each slot in use records its own vibrator's force signal; an "x8"
      // slot holds eight times the counts.
      std::vector<Channel> c{ref};
      const double perKgf = 32768 * s.testOut / (2 * s.holdDownKg);
      for (int slot = 1; slot <= 5; ++slot)
        c.push_back(s.present[slot] ? Channel{Pickup::ForceOutput,
                                              perKgf * (s.attenuated[slot] ? 8 : 1), slot - 1}
                                    : Channel{});
      return c;
    }
    case Dodida:
      return {ref, rm, bp};
    case Ombrel16:  // VIB in counts of 2·HDW / 32768 kgf
      return {ref, {Pickup::ForceOutput, 32768 / (2 * s.holdDownKg), 0}};
    default:
      return {};
  }
}

// The recorder's anti-alias filter: flat to 0.4 of the sample rate, nothing
// from half of it on.
double AntiAlias(double hz, int fs) {
  const double pass = 0.4 * fs, stop = 0.5 * fs;
  if (hz <= pass) return 1;
  if (hz >= stop) return 0;
  return 0.5 + 0.5 * std::cos(kPi * (hz - pass) / (stop - pass));
}

double Taper(int i, int n, double ramp) {
  if (i < ramp) return 0.5 - 0.5 * std::cos(kPi * i / ramp);
  if (i > n - ramp) return 0.5 - 0.5 * std::cos(kPi * (n - i) / ramp);
  return 1;
}

std::int16_t ToCounts(double v) {
  return static_cast<std::int16_t>(std::clamp(std::nearbyint(v), -32768.0, 32767.0));
}

}  // namespace

std::vector<std::vector<std::int16_t>> VibratorChannels(const VibratorSetup& s) {
  const std::vector<Channel> layout = Layout(s);
  const int n = s.sweepLength, fs = s.sampleRate;
  std::vector<std::vector<std::int16_t>> out(layout.size(), std::vector<std::int16_t>(n, 0));
  if (n <= 0 || fs <= 0) return out;
  Generator generator(s.seed);
  const auto gains = HarmonicGains(s);
  std::vector<Vibrator> vibrators;
  for (int v = 0; v < 5; ++v) vibrators.emplace_back(s, DrawTraits(generator), gains);
  std::vector<ChannelResponse> responses;
  for (const Channel& c : layout) responses.emplace_back(s, c);

  const double seconds = static_cast<double>(n) / fs;
  const double rise = s.sweep.endHz - s.sweep.startHz;
  const double ramp = s.sweep.taperSeconds * fs;
  const Faults& f = s.faults;
  const double clip = f.clip > 0 ? f.clip * kFullScale : kFullScale + 1;
  const double referenceAmplitude = s.mode == Dodida || s.mode == Ombrel16 ? 31948 : 6710;
  for (int i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / fs;
    const double phase = 2 * kPi * (s.sweep.startHz * t + rise * t * t / (2 * seconds));
    const double omega = 2 * kPi * (s.sweep.startHz + rise * t / seconds);
    const double taper = Taper(i, n, ramp);
    std::array<ForceComponents, 5> forces;
    for (int v = 0; v < 5; ++v) forces[v] = vibrators[v].At(i, phase, taper);
    for (std::size_t c = 0; c < layout.size(); ++c) {
      const Channel& channel = layout[c];
      const bool dead = static_cast<int>(c) == f.deadChannel;
      double value = 0;
      if (channel.pickup == Pickup::Reference) {
        // The controller's own sweep: no sensor, no noise, never clipped.
        if (!dead) value = referenceAmplitude * taper * std::sin(phase);
      } else if (channel.pickup != Pickup::None) {
        const ForceComponents& force = forces[channel.vibrator];
        for (int h = 1; h <= kHarmonics && !dead; ++h) {
          const Complex p = force.component[h] * responses[c].At(h * omega) *
                            AntiAlias(h * omega / (2 * kPi), fs);
          value += p.real() * force.sinTheta[h] + p.imag() * force.cosTheta[h];
        }
        value = std::clamp(value + kNoiseCounts * generator.Normal(), -clip, clip);
      }
      if (static_cast<int>(c) == f.polarityFlip) value = -value;
      out[c][i] = ToCounts(value);
    }
  }
  return out;
}

std::string CheckFaults(const Faults& f, int mode) {
  const int channels = ChannelCount(mode);
  for (const auto& [channel, name] :
       {std::pair{f.polarityFlip, "--polarity-flip"}, std::pair{f.deadChannel, "--dead-channel"}})
    if (channel >= channels)
      return std::string(name) + ": mode " + std::to_string(mode) + " has channels 0.." +
             std::to_string(channels - 1);
  return {};
}

namespace {

bool ParseNumber(const char* text, double& value) {
  const char* end = text + std::strlen(text);
  auto [p, ec] = std::from_chars(text, end, value);
  return ec == std::errc() && p == end && p != text && std::isfinite(value);
}

}  // namespace

bool IsFaultOption(const std::string& name) {
  return name == "--phase-error" || name == "--phase-drift" || name == "--distortion" ||
         name == "--polarity-flip" || name == "--clip" || name == "--dead-channel";
}

bool ParseFaultOption(const std::string& name, const char* value, Faults& f, std::string& error) {
  double v = 0;
  if (!ParseNumber(value, v)) {
    error = name + ": not a number: " + value;
    return false;
  }
  auto within = [&](double low, double high, const char* range) {
    if (v >= low && v <= high) return true;
    error = name + " is " + range + ": " + value;
    return false;
  };
  auto channel = [&](int& out) {
    if (!within(0, 5, "a channel 0..5") || v != std::floor(v)) {
      error = name + " is a channel 0..5: " + value;
      return false;
    }
    out = static_cast<int>(v);
    return true;
  };
  if (name == "--phase-error") {
    if (!within(-180, 180, "-180..180 degrees")) return false;
    f.phaseError = v;
  } else if (name == "--phase-drift") {
    if (!within(-360, 360, "-360..360 degrees")) return false;
    f.phaseDrift = v;
  } else if (name == "--distortion") {
    if (!within(0, 100, "0..100 percent")) return false;
    f.distortion = v;
  } else if (name == "--clip") {
    if (!within(1e-6, 1, "a fraction of full scale, above 0 and at most 1")) return false;
    f.clip = v;
  } else if (name == "--polarity-flip") {
    return channel(f.polarityFlip);
  } else if (name == "--dead-channel") {
    return channel(f.deadChannel);
  } else {
    error = "not a fault option: " + name;
    return false;
  }
  return true;
}

const char* FaultOptionsUsage() {
  return "  --phase-error DEG    ground force against REF by DEG degrees, as the Phase graph shows "
         "it\n"
         "  --phase-drift DEG    a phase error growing from 0 to DEG degrees over the sweep\n"
         "  --distortion PCT     harmonics 2..5 together at PCT percent of the fundamental,\n"
         "                       as the Harmonics graph shows them\n"
         "  --polarity-flip CH   channel CH recorded with its sign reversed\n"
         "  --clip FRACTION      every channel but REF clips at FRACTION of full scale\n"
         "  --dead-channel CH    channel CH carries only its sensor's noise\n";
}

}  // namespace kalvex::vibmodel
