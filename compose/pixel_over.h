// The "over" blend of one premultiplied ARGB pixel onto another, the one every drawing step uses.
#pragma once

#include <cstdint>

// s over d, both premultiplied 0xAARRGGBB: s + d x (255 - alpha(s)) / 255 per channel, rounded.
// An opaque s replaces d; a fully transparent zero s leaves d as it is.
inline std::uint32_t PixelOver(std::uint32_t s, std::uint32_t d) {
  const std::uint32_t sa = s >> 24;
  if (sa == 255) return s;
  if (s == 0) return d;
  const std::uint32_t inv = 255 - sa;
  // d * inv / 255 per channel, rounded, two channels at a time.
  std::uint32_t rb = (d & 0x00FF00FF) * inv + 0x00800080;
  rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
  std::uint32_t ag = ((d >> 8) & 0x00FF00FF) * inv + 0x00800080;
  ag = (ag + ((ag >> 8) & 0x00FF00FF)) & 0xFF00FF00;
  return s + (rb | ag);
}
