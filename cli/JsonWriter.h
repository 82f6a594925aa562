#pragma once
// A small JSON text builder: numbers with 17 significant digits, NoValue and
// non-finite numbers as null, texts escaped as UTF-8.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "recordings/TFrmFile.h"

namespace kalvex::cli {

// An RGB colour as "#RRGGBB".
std::string ColourText(std::int32_t rgb);

class JsonWriter;
// "similarityChannels": [{"present", "attenuated", "name"} × 6].
void SimilarityChannelsJson(JsonWriter& j, const std::array<ChannelDescriptor, 6>& channels);

class JsonWriter {
 public:
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
  std::string out_;
  bool needComma_ = false;
};

}  // namespace kalvex::cli
