#include "JsonWriter.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "recordings/Cp1251.h"
#include "recordings/NoValue.h"

namespace kalvex::cli {

namespace {

// The size of the pieces a sink is given.
constexpr std::size_t kPiece = 1 << 16;

}  // namespace

void JsonWriter::Flush() {
  if (!sink_ || out_.empty()) return;
  sink_(out_);
  out_.clear();
}

void JsonWriter::Separate() {
  if (sink_ && out_.size() >= kPiece) Flush();
  if (needComma_) out_ += ',';
  needComma_ = true;
}

JsonWriter& JsonWriter::BeginObject() {
  Separate();
  out_ += '{';
  needComma_ = false;
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  out_ += '}';
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  Separate();
  out_ += '[';
  needComma_ = false;
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  out_ += ']';
  needComma_ = true;
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  String(key);
  out_ += ':';
  needComma_ = false;
  return *this;
}

JsonWriter& JsonWriter::Number(double value) {
  if (value == NoValue || !std::isfinite(value)) return Null();
  Separate();
  char buf[40];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 17);
  out_.append(buf, res.ptr);
  return *this;
}

JsonWriter& JsonWriter::Integer(long long value) {
  Separate();
  out_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  Separate();
  out_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  Separate();
  out_ += "null";
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view raw) {
  Separate();
  out_ += '"';
  // JSON is UTF-8: texts read from files are already converted; what is left
  // (a file name's bytes, say) has each byte that is not UTF-8 written as
  // U+FFFD.
  for (char c : ValidUtf8(raw)) {
    auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out_ += '\\';
      out_ += c;
    } else if (u < 0x20) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\u%04x", u);
      out_ += esc;
    } else {
      out_ += c;
    }
  }
  out_ += '"';
  return *this;
}

std::string ColourText(std::int32_t rgb) {
  char text[8];
  std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(rgb) & 0xFFFFFF);
  return text;
}

void SimilarityChannelsJson(JsonWriter& j, const std::array<ChannelDescriptor, 6>& channels) {
  j.Key("similarityChannels").BeginArray();
  for (const ChannelDescriptor& d : channels) {
    j.BeginObject().Key("present").Bool(d.Present).Key("attenuated").Bool(d.Attenuated);
    j.Key("name").String(d.Name).EndObject();
  }
  j.EndArray();
}

}  // namespace kalvex::cli
