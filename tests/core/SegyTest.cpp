// SEG-Y files: the bytes segyio's fields make and read back, the structural
// refusals, the recording's traces and textual header, and traces turned back
// into counts by name or by the program's own channel numbers.

#include <gtest/gtest.h>

#include "segy/SegyCodec.h"
#include "segy/SegyExport.h"
#include "segy/SegyImport.h"
#include "shell/TextCatalogue.h"
#include "support/SignalRecording.h"

namespace kalvex {
namespace {

constexpr double V = 10.0 / 32768;  // volts per count

SegyImage TwoTraces(int intervalUs = 1000) {
  SegyImage image;
  image.text = std::string(SegyOwnMark) + "  TEST";
  image.intervalUs = intervalUs;
  image.sweep = {8, 80, 2000, 1};
  image.traces = {{1, 6, "REF", {0.5f, -10.0f, 10.0f, 1e-3f, 0.0f}},
                  {3, 1, "BP", {-1.25f, 2.5f, 3e4f, -7.0f, 0.1f}}};
  return image;
}

bool Contains(const std::optional<std::string>& text, const std::string& part) {
  return text && text->find(part) != std::string::npos;
}

TEST(SegyTest, ImageComesBackFromBothFormats) {
  const SegyImage image = TwoTraces();
  for (SegyFormat format : {SegyFormat::Ieee, SegyFormat::Ibm}) {
    const std::vector<std::uint8_t> bytes = EncodeSegy(image, format);
    ASSERT_EQ(bytes.size(), SegyHeadersSize + 2 * (240 + 4 * 5));
    EXPECT_EQ(bytes[0], 0xC3);  // 'C' in EBCDIC
    SegyImage back;
    ASSERT_EQ(DecodeSegy(bytes, back), std::nullopt);
    EXPECT_EQ(back.text.substr(0, image.text.size()), image.text);
    EXPECT_EQ(back.text.size(), 3200u);
    EXPECT_EQ(back.intervalUs, 1000);
    EXPECT_EQ(back.sweep.endHz, 80);
    EXPECT_EQ(back.sweep.lengthMs, 2000);
    ASSERT_EQ(back.traces.size(), 2u);
    for (std::size_t k = 0; k < 2; ++k) {
      EXPECT_EQ(back.traces[k].channelNumber, image.traces[k].channelNumber);
      EXPECT_EQ(back.traces[k].traceId, image.traces[k].traceId);
      EXPECT_EQ(back.traces[k].name, image.traces[k].name);
      for (std::size_t i = 0; i < 5; ++i)
        EXPECT_NEAR(back.traces[k].values[i], image.traces[k].values[i],
                    format == SegyFormat::Ieee ? 0 : 1e-6 * std::abs(image.traces[k].values[i]));
    }
  }
}

TEST(SegyTest, StructuralFaultsAreRefused) {
  const std::vector<std::uint8_t> good = EncodeSegy(TwoTraces(), SegyFormat::Ieee);
  auto refusal = [&](const std::function<void(std::vector<std::uint8_t>&)>& damage) {
    std::vector<std::uint8_t> bytes = good;
    damage(bytes);
    SegyImage image;
    return DecodeSegy(bytes, image);
  };
  auto put16 = [](std::vector<std::uint8_t>& b, std::size_t at, int v) {
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v);
  };
  EXPECT_TRUE(Contains(refusal([](auto& b) { b.resize(3599); }), "3600"));
  EXPECT_TRUE(Contains(refusal([&](auto& b) { put16(b, 3224, 4); }), " 4 "));  // obsolete format
  EXPECT_TRUE(Contains(refusal([&](auto& b) { put16(b, 3220, 0); }), "SEG-Y"));
  EXPECT_EQ(refusal([](auto& b) { b.resize(SegyHeadersSize); }), Text(TextId::SegyNoTraces));
  EXPECT_TRUE(Contains(refusal([](auto& b) { b.pop_back(); }), "1 "));  // one whole trace left
  // An absurd count of extended headers must not wrap the offset of the traces.
  EXPECT_TRUE(Contains(refusal([&](auto& b) { put16(b, 3504, 0x7FFF); }), "32767"));
  EXPECT_TRUE(Contains(refusal([&](auto& b) { put16(b, 3600 + 260 + 114, 4); }), "2"));
  EXPECT_TRUE(Contains(refusal([](auto& b) { b[3600 + 240] = 0x7F, b[3601 + 240] = 0x80; }), "1"));
  EXPECT_EQ(refusal([](auto&) {}), std::nullopt);
}

TEST(SegyTest, RecordingGoesOutAsItsChannelsInTheirFirstUnits) {
  test::SignalRecording s(Dodida, 1000, 4);
  s.Set(0, [](int j) { return 1000 * (j + 1); });
  s.SetDerived([](int j) { return 500.0 * j; });  // kgf
  s.rec.Comment = "Вибратор №3";
  EXPECT_EQ(ExportedChannels(s.rec), (std::vector<int>{0, 1, 2, 3}));
  const SegyImage image = RecordingAsSegy(s.Context(), {"v3.qrm", 8, 80, 1});
  ASSERT_EQ(image.traces.size(), 4u);
  EXPECT_EQ(image.intervalUs, 1000);
  EXPECT_EQ(image.sweep.lengthMs, 4);
  EXPECT_EQ(image.traces[0].traceId, 6);
  EXPECT_FLOAT_EQ(image.traces[0].values[1], static_cast<float>(2000 * V));
  EXPECT_EQ(image.traces[3].name, "GF");
  EXPECT_FLOAT_EQ(image.traces[3].values[2], 1.0f);  // tonnes
  EXPECT_EQ(image.text.size(), 3200u);
  EXPECT_EQ(image.text.rfind(SegyOwnMark, 0), 0u);
  for (const char* part :
       {"MODE 3 Dodida", "COMMENT Vibrator ?3", "    4        4  GF        T", "C39 SEG Y REV1"})
    EXPECT_NE(image.text.find(part), std::string::npos) << part;

  test::SignalRecording similarity(Similarity, 500, 4);
  similarity.rec.SimilarityChannels[2].Present = true;
  EXPECT_EQ(ExportedChannels(similarity.rec), (std::vector<int>{0, 2}));
  EXPECT_EQ(ExportedChannels(test::SignalRecording(Ombrel16, 500, 4).rec),
            (std::vector<int>{0, 1}));
}

TEST(SegyTest, TracesBecomeCountsAtFullScaleOfTheChannel) {
  test::SignalRecording s(Dodida, 500, 4);
  int rateIndex = -1;
  SegyImportChoices choices;
  ASSERT_EQ(AssignTraces({{"ref", 1}, {"BP", 2}}, Dodida, 2, choices.channels), std::nullopt);
  choices.scales[1] = 1e-3;  // the second trace in millivolts
  SegyImage image = TwoTraces();
  image.sweep.lengthMs = 3;
  EXPECT_TRUE(Contains(ImportSegy(TwoTraces(300), choices, s.Context(), rateIndex).refusal, "300"));
  EXPECT_EQ(s.rec.SampleRate, 500);  // a refusal changes nothing
  const SegyImportResult result = ImportSegy(image, choices, s.Context(), rateIndex);
  ASSERT_EQ(result.refusal, std::nullopt);
  EXPECT_EQ(rateIndex, 1);
  EXPECT_EQ(s.rec.RecordLength, 5);
  EXPECT_EQ(s.rec.SweepLength, 3);  // the file's 3 ms at 1000 Hz
  const auto& ref = s.rec.Channels[0]->Samples;
  EXPECT_EQ(ref, (std::vector<std::int16_t>{1638, -32768, 32767, 3, 0}));
  // BP takes its counts at 10 V / 8 full scale; the file's 3e4 mV clip.
  const auto& bp = s.rec.Channels[2]->Samples;
  EXPECT_EQ(bp[0], static_cast<std::int16_t>(std::nearbyint(-1.25e-3 / (V / 8))));
  EXPECT_EQ(bp[2], 32767);
  EXPECT_EQ(result.clipped, 2);
  EXPECT_EQ(s.rec.Channels[1]->Samples, std::vector<std::int16_t>(5, 0));  // not mapped: silent
  choices.sweepSeconds = 0;  // an explicit sweep wins over the file's
  ImportSegy(image, choices, s.Context(), rateIndex);
  EXPECT_EQ(s.rec.SweepLength, 0);
  choices.sweepSeconds = 9;  // never beyond the record
  ImportSegy(image, choices, s.Context(), rateIndex);
  EXPECT_EQ(s.rec.SweepLength, 5);
}

TEST(SegyTest, TracesAreAssignedByNameOrByOwnChannelNumbers) {
  std::vector<TraceAssignment> out;
  EXPECT_TRUE(Contains(AssignTraces({{"GF", 1}}, Dodida, 2, out), "GF"));
  EXPECT_TRUE(Contains(AssignTraces({{"RM", 1}, {"rm", 2}}, Dodida, 2, out), "rm"));
  EXPECT_TRUE(Contains(AssignTraces({{"RM", 3}}, Dodida, 2, out), "3"));
  EXPECT_TRUE(Contains(AssignTraces({{"VIB1", 1}, {"vib1", 2}}, Similarity, 2, out), "vib1"));
  EXPECT_TRUE(Contains(AssignTraces({{"NINECHARS", 1}}, Similarity, 2, out), "NINECHARS"));
  EXPECT_EQ(AssignTraces({{"a", 1}, {"b", 1}, {"c", 1}, {"d", 1}, {"e", 1}, {"f", 1}}, Similarity,
                         1, out),
            Text(TextId::SegyTooManyChannels));
  ASSERT_EQ(AssignTraces({{"VIB7", 2}, {"REF", 1}, {"VIB2", 1}}, Similarity, 2, out), std::nullopt);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].slot, 1);
  EXPECT_EQ(out[0].name, "VIB7");
  EXPECT_EQ(out[1].slot, 0);
  EXPECT_EQ(out[2].slot, 2);

  SegyImage image = TwoTraces();
  image.traces.push_back({4, 1, "GF", {}});  // the derived channel is computed again
  ASSERT_EQ(OwnTraceAssignment(image, Dodida, out), std::nullopt);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[1].slot, 2);
  EXPECT_EQ(out[1].trace, 1);
  EXPECT_TRUE(Contains(OwnTraceAssignment(image, Ombrel16, out), "Ombrel16"));
  image.text = "C 1 ANOTHER WRITER";
  EXPECT_EQ(OwnTraceAssignment(image, Dodida, out), Text(TextId::SegyNotOurs));
}

}  // namespace
}  // namespace kalvex
