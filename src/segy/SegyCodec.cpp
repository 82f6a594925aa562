#include "segy/SegyCodec.h"

#include <segyio/segy.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "segy/Ebcdic.h"
#include "shell/TextCatalogue.h"

namespace kalvex {
namespace {

constexpr std::size_t kTextSize = SEGY_TEXT_HEADER_SIZE;
constexpr std::size_t kTraceHeaderSize = SEGY_TRACE_HEADER_SIZE;
// The trace header's unassigned last bytes carry the channel's name.
constexpr std::size_t kNameAt = 232;
constexpr std::size_t kNameSize = 8;
constexpr int kRevision1 = 0x0100;

using Bytes = std::span<const std::uint8_t>;

char* Chars(std::uint8_t* p) {
  return reinterpret_cast<char*>(p);
}
const char* Chars(const std::uint8_t* p) {
  return reinterpret_cast<const char*>(p);
}

// Two-byte fields are unsigned counts here (samples, microseconds); segyio
// hands them out sign-extended.
int BinaryField16(const char* bin, int field) {
  std::int32_t v = 0;
  segy_get_bfield(bin, field, &v);
  return v & 0xFFFF;
}
int TraceField16(const char* header, int field) {
  std::int32_t v = 0;
  segy_get_field(header, field, &v);
  return v & 0xFFFF;
}
int TraceField32(const char* header, int field) {
  std::int32_t v = 0;
  segy_get_field(header, field, &v);
  return v;
}

// The sweep's four fields, in the binary header or a trace header.
struct SweepFields {
  int start, end, length, type;
};
constexpr SweepFields kBinarySweep{SEGY_BIN_SWEEP_FREQ_START, SEGY_BIN_SWEEP_FREQ_END,
                                   SEGY_BIN_SWEEP_LENGTH, SEGY_BIN_SWEEP};
constexpr SweepFields kTraceSweep{SEGY_TR_SWEEP_FREQ_START, SEGY_TR_SWEEP_FREQ_END,
                                  SEGY_TR_SWEEP_LENGTH, SEGY_TR_SWEEP_TYPE};

template <class Set>
void PutSweep(const SegySweep& s, const SweepFields& f, Set set) {
  set(f.start, s.startHz);
  set(f.end, s.endHz);
  set(f.length, s.lengthMs);
  set(f.type, s.typeCode);
}

template <class Get>
SegySweep SweepOf(const SweepFields& f, Get get) {
  return {get(f.start), get(f.end), get(f.length), get(f.type)};
}

void PutBinaryHeader(std::uint8_t* at, const SegyImage& image, SegyFormat format) {
  char* bin = Chars(at);
  const int samples = image.traces.empty() ? 0 : static_cast<int>(image.traces[0].values.size());
  segy_set_bfield(bin, SEGY_BIN_TRACES, static_cast<int>(image.traces.size()));
  segy_set_bfield(bin, SEGY_BIN_INTERVAL, image.intervalUs);
  segy_set_bfield(bin, SEGY_BIN_INTERVAL_ORIG, image.intervalUs);
  segy_set_bfield(bin, SEGY_BIN_SAMPLES, samples);
  segy_set_bfield(bin, SEGY_BIN_SAMPLES_ORIG, samples);
  segy_set_bfield(bin, SEGY_BIN_FORMAT, static_cast<int>(format));
  segy_set_bfield(bin, SEGY_BIN_SORTING_CODE, 1);  // as recorded
  PutSweep(image.sweep, kBinarySweep, [bin](int f, int v) { segy_set_bfield(bin, f, v); });
  segy_set_bfield(bin, SEGY_BIN_SWEEP_CHANNEL, 1);  // the reference is the first trace
  segy_set_bfield(bin, SEGY_BIN_MEASUREMENT_SYSTEM, 1);
  segy_set_bfield(bin, SEGY_BIN_SEGY_REVISION, kRevision1);
  segy_set_bfield(bin, SEGY_BIN_TRACE_FLAG, 1);
}

void PutTraceHeader(std::uint8_t* at, const SegyImage& image, std::size_t index) {
  const SegyTrace& t = image.traces[index];
  char* h = Chars(at);
  const int number = static_cast<int>(index) + 1;
  segy_set_field(h, SEGY_TR_SEQ_LINE, number);
  segy_set_field(h, SEGY_TR_SEQ_FILE, number);
  segy_set_field(h, SEGY_TR_FIELD_RECORD, 1);
  segy_set_field(h, SEGY_TR_NUMBER_ORIG_FIELD, t.channelNumber);
  segy_set_field(h, SEGY_TR_TRACE_ID, t.traceId);
  segy_set_field(h, SEGY_TR_DATA_USE, 1);
  segy_set_field(h, SEGY_TR_SAMPLE_COUNT, static_cast<int>(t.values.size()));
  segy_set_field(h, SEGY_TR_SAMPLE_INTER, image.intervalUs);
  PutSweep(image.sweep, kTraceSweep, [h](int f, int v) { segy_set_field(h, f, v); });
  std::memcpy(h + kNameAt, t.name.data(), std::min(t.name.size(), kNameSize));
}

bool Supported(int format) {
  return format == SEGY_IBM_FLOAT_4_BYTE || format == SEGY_SIGNED_INTEGER_4_BYTE ||
         format == SEGY_SIGNED_SHORT_2_BYTE || format == SEGY_IEEE_FLOAT_4_BYTE ||
         format == SEGY_SIGNED_CHAR_1_BYTE;
}

// The samples of one trace in native floats: segyio turns the big-endian
// bytes (and IBM floats) into native numbers of the format's width.
std::vector<float> NativeSamples(const std::uint8_t* at, int format, int samples) {
  const std::size_t width = static_cast<std::size_t>(segy_trsize(format, 1));
  std::vector<std::uint8_t> raw(at, at + width * samples);
  segy_to_native(format, samples, raw.data());
  std::vector<float> values(samples);
  for (int i = 0; i < samples; ++i) {
    const std::uint8_t* p = raw.data() + width * i;
    switch (format) {
      case SEGY_SIGNED_INTEGER_4_BYTE: {
        std::int32_t v;
        std::memcpy(&v, p, 4);
        values[i] = static_cast<float>(v);
        break;
      }
      case SEGY_SIGNED_SHORT_2_BYTE: {
        std::int16_t v;
        std::memcpy(&v, p, 2);
        values[i] = v;
        break;
      }
      case SEGY_SIGNED_CHAR_1_BYTE:
        values[i] = static_cast<std::int8_t>(*p);
        break;
      default:
        std::memcpy(&values[i], p, 4);
    }
  }
  return values;
}

std::string NameOf(const char* header) {
  std::string name;
  for (std::size_t i = 0; i < kNameSize; ++i) {
    const char c = header[kNameAt + i];
    if (c < 0x20 || c > 0x7E) break;
    name += c;
  }
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

std::string Number(long v) {
  return std::to_string(v);
}

std::string Refusal(TextId id, std::initializer_list<std::string_view> args = {}) {
  return FormatText(id, args);
}

// The structure of the binary header and the trace count it leads to.
struct Layout {
  int format = 0;
  int samples = 0;
  long trace0 = 0;
  std::size_t traceBytes = 0;
  long traces = 0;
};

std::optional<std::string> ReadLayout(Bytes bytes, Layout& l) {
  if (bytes.size() < SegyHeadersSize)
    return Refusal(TextId::SegyTooShort, {Number(SegyHeadersSize)});
  const char* bin = Chars(bytes.data() + kTextSize);
  l.format = segy_format(bin);
  if (!Supported(l.format)) return Refusal(TextId::SegyBadFormat, {Number(l.format)});
  l.samples = segy_samples(bin) & 0xFFFF;
  if (l.samples == 0) return Refusal(TextId::SegyNoSamples);
  std::int32_t extended = 0;
  segy_get_bfield(bin, SEGY_BIN_EXT_HEADERS, &extended);
  // segyio's own offset would overflow an int for absurd counts.
  if (extended < 0 || extended > 1000)
    return Refusal(TextId::SegyBadExtendedHeaders, {Number(extended)});
  l.trace0 = static_cast<long>(SegyHeadersSize) + static_cast<long>(kTextSize) * extended;
  if (static_cast<std::size_t>(l.trace0) > bytes.size())
    return Refusal(TextId::SegyTooShort, {Number(l.trace0)});
  l.traceBytes = kTraceHeaderSize + static_cast<std::size_t>(segy_trsize(l.format, l.samples));
  const std::size_t body = bytes.size() - static_cast<std::size_t>(l.trace0);
  l.traces = static_cast<long>(body / l.traceBytes);
  if (const std::size_t rest = body % l.traceBytes; rest != 0)
    return Refusal(TextId::SegyTruncated, {Number(l.traces), Number(static_cast<long>(rest))});
  if (l.traces == 0) return Refusal(TextId::SegyNoTraces);
  const long announced =
      BinaryField16(bin, SEGY_BIN_TRACES) + BinaryField16(bin, SEGY_BIN_AUX_TRACES);
  if (announced > 0 && l.traces % announced != 0)
    return Refusal(TextId::SegyTraceCount, {Number(announced), Number(l.traces)});
  return std::nullopt;
}

std::optional<std::string> ReadTrace(Bytes bytes, const Layout& l, long index, SegyImage& image) {
  const std::uint8_t* at = bytes.data() + l.trace0 + l.traceBytes * index;
  const char* h = Chars(at);
  const std::string number = Number(index + 1);
  const int samples = TraceField16(h, SEGY_TR_SAMPLE_COUNT);
  if (samples != 0 && samples != l.samples)
    return Refusal(TextId::SegyTraceLength, {number, Number(samples), Number(l.samples)});
  const int interval = TraceField16(h, SEGY_TR_SAMPLE_INTER);
  if (image.intervalUs == 0) image.intervalUs = interval;
  if (interval != 0 && interval != image.intervalUs)
    return Refusal(TextId::SegyTraceInterval, {number, Number(interval), Number(image.intervalUs)});
  SegyTrace t;
  t.channelNumber = TraceField32(h, SEGY_TR_NUMBER_ORIG_FIELD);
  t.traceId = TraceField16(h, SEGY_TR_TRACE_ID);
  t.name = NameOf(h);
  t.values = NativeSamples(at + kTraceHeaderSize, l.format, l.samples);
  const auto bad =
      std::find_if(t.values.begin(), t.values.end(), [](float v) { return !std::isfinite(v); });
  if (bad != t.values.end())
    return Refusal(TextId::SegyBadValue, {number, Number(bad - t.values.begin() + 1)});
  if (index == 0) {
    const SegySweep own = SweepOf(kTraceSweep, [h](int f) { return TraceField16(h, f); });
    if (own.lengthMs != 0) image.sweep = own;
  }
  image.traces.push_back(std::move(t));
  return std::nullopt;
}

}  // namespace

std::vector<std::uint8_t> EncodeSegy(const SegyImage& image, SegyFormat format) {
  const std::size_t samples = image.traces.empty() ? 0 : image.traces[0].values.size();
  const std::size_t traceBytes = kTraceHeaderSize + 4 * samples;
  std::vector<std::uint8_t> out(SegyHeadersSize + traceBytes * image.traces.size(), 0);
  std::string text = image.text;
  text.resize(kTextSize, ' ');
  const std::string ebcdic = AsciiToEbcdic(text);
  std::copy(ebcdic.begin(), ebcdic.end(), out.begin());
  PutBinaryHeader(out.data() + kTextSize, image, format);
  for (std::size_t k = 0; k < image.traces.size(); ++k) {
    std::uint8_t* at = out.data() + SegyHeadersSize + traceBytes * k;
    PutTraceHeader(at, image, k);
    std::vector<float> values = image.traces[k].values;
    values.resize(samples, 0.0f);
    segy_from_native(static_cast<int>(format), static_cast<long long>(samples), values.data());
    std::memcpy(at + kTraceHeaderSize, values.data(), 4 * samples);
  }
  return out;
}

std::optional<std::string> DecodeSegy(std::span<const std::uint8_t> bytes, SegyImage& image) {
  Layout l;
  if (auto refusal = ReadLayout(bytes, l)) return refusal;
  image = {};
  const std::string_view raw(Chars(bytes.data()), kTextSize);
  // Some writers keep the textual header in ASCII: it then starts with 'C'.
  image.text = raw[0] == 'C' ? std::string(raw) : EbcdicToAscii(raw);
  const char* bin = Chars(bytes.data() + kTextSize);
  image.intervalUs = BinaryField16(bin, SEGY_BIN_INTERVAL);
  image.sweep = SweepOf(kBinarySweep, [bin](int f) { return BinaryField16(bin, f); });
  image.traces.reserve(static_cast<std::size_t>(l.traces));
  for (long k = 0; k < l.traces; ++k)
    if (auto refusal = ReadTrace(bytes, l, k, image)) return refusal;
  return std::nullopt;
}

}  // namespace kalvex
