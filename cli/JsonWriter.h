#pragma once
// A small JSON text builder: numbers with 17 significant digits, NoValue and
// non-finite numbers as null, texts escaped as UTF-8 (a byte that is not part
// of valid UTF-8 becomes U+FFFD).

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>

#include "recordings/TFrmFile.h"
#include "recordings/TestParameters.h"

namespace kalvex::cli {

// An RGB colour as "#RRGGBB".
std::string ColourText(std::int32_t rgb);

class JsonWriter;
// The test parameters (weights, trigger, sensitivities, factors, TestOut) of
// a recording or a project file's main record, as JSON fields.
template <class Record>
void TestParametersJson(JsonWriter& j, const Record& r);

// "similarityChannels": [{"present", "attenuated", "name"} × 6].
void SimilarityChannelsJson(JsonWriter& j, const std::array<ChannelDescriptor, 6>& channels);

class JsonWriter {
 public:
  // Without a sink the whole text is kept (Text). With one, the text goes to
  // the sink in pieces as it is produced, so that a large output is never
  // held whole; Flush hands over the rest.
  using Sink = std::function<void(std::string_view)>;
  explicit JsonWriter(Sink sink = {}) : sink_(std::move(sink)) {}
  void Flush();

  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view key);
  JsonWriter& Number(double value);
  JsonWriter& Integer(long long value);
  JsonWriter& Bool(bool value);
  JsonWriter& String(std::string_view text);
  JsonWriter& Null();

  const std::string& Text() const { return out_; }

 private:
  void Separate();
  Sink sink_;
  std::string out_;
  bool needComma_ = false;
};

template <class Record>
void TestParametersJson(JsonWriter& j, const Record& r) {
  VisitTestParameters(r, r, [&j](const char* key, const auto& v, const auto&) {
    j.Key(key);
    if constexpr (std::is_integral_v<std::decay_t<decltype(v)>>)
      j.Integer(v);
    else
      j.Number(v);
  });
}

}  // namespace kalvex::cli
