#pragma once
// SHA-256 digests, the recording's fingerprint in QC outputs.

#include <cstdint>
#include <span>
#include <string>

namespace kalvex {

// The digest in lower-case hex.
std::string Sha256Hex(std::span<const std::uint8_t> bytes);

}  // namespace kalvex
