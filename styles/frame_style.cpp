// The frame style record and its settings-file section.
#include "styles/frame_style.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "base/ini_file.h"
#include "base/lumisto_error.h"
#include "base/strict_int.h"

namespace {
constexpr char kSection[] = "Frames";
}

const std::array<FrameStyleSlot, FrameStyle::kSlotCount>& FrameStyleSlots() {
  using K = SlotKind;
  using S = FrameStyle;
  static const std::array<FrameStyleSlot, FrameStyle::kSlotCount> slots{{
      {"BlendOpacity", K::Opacity, &S::blend_opacity},
      {"ColorDraw", K::Switch, &S::color_draw},
      {"ColorOpacity", K::Opacity, &S::color_opacity},
      {"ColorColor", K::Colour, &S::color_color},
      {"LineDraw", K::Switch, &S::line_draw},
      {"LineOpacity", K::Opacity, &S::line_opacity},
      {"LineSize", K::Size, &S::line_size},
      {"LineColor", K::Colour, &S::line_color},
      {"FrameInclude", K::Switch, &S::frame_include},
      {"FrameSharp", K::Index, &S::frame_sharp},
      {"FrameColorText", K::Switch, &S::frame_color_text},
      {"FrameText", K::Index, &S::frame_text},
      {"FrameTextSize", K::Size, &S::frame_text_size},
      {"FrameDraw", K::Switch, &S::frame_draw},
      {"FrameOpacity", K::Opacity, &S::frame_opacity},
      {"FrameSize", K::Size, &S::frame_size},
      {"FrameColor", K::Colour, &S::frame_color},
      {"StrokeDraw", K::Switch, &S::stroke_draw},
      {"StrokeOpacity", K::Opacity, &S::stroke_opacity},
      {"StrokeSize", K::Size, &S::stroke_size},
      {"StrokeColor", K::Colour, &S::stroke_color},
      {"ShadowDraw", K::Switch, &S::shadow_draw},
      {"ShadowOpacity", K::Opacity, &S::shadow_opacity},
      {"ShadowSize", K::Size, &S::shadow_size},
      {"ShadowColor", K::Colour, &S::shadow_color},
      {"BackColorText", K::Switch, &S::back_color_text},
      {"BackText", K::Index, &S::back_text},
      {"BackTextSize", K::Size, &S::back_text_size},
      {"BackDraw", K::Switch, &S::back_draw},
      {"BackOpacity", K::Opacity, &S::back_opacity},
      {"BackSize", K::Size, &S::back_size},
      {"BackColor", K::Colour, &S::back_color},
  }};
  return slots;
}

const FrameStyleSlot& FrameStyleScaleKey() {
  static const FrameStyleSlot key{"Scale", SlotKind::Switch, &FrameStyle::scale};
  return key;
}

const std::array<FrameStyleSlot, FrameStyle::kSlotCount + 1>& FrameStyleKeys() {
  static const std::array<FrameStyleSlot, FrameStyle::kSlotCount + 1> keys = [] {
    std::array<FrameStyleSlot, FrameStyle::kSlotCount + 1> all{};
    std::copy(FrameStyleSlots().begin(), FrameStyleSlots().end(), all.begin());
    all.back() = FrameStyleScaleKey();
    return all;
  }();
  return keys;
}

std::int32_t& FrameStyle::Slot(int index) { return this->*FrameStyleSlots().at(index).field; }
std::int32_t FrameStyle::Slot(int index) const { return this->*FrameStyleSlots().at(index).field; }

QString StyleColourToText(std::int32_t colour) {
  const auto c = static_cast<std::uint32_t>(colour);
  const auto piece = [](std::uint32_t v) { return QStringLiteral("%1").arg(v, 3, 10, QLatin1Char('0')); };
  return piece(c & 0xFF) + u',' + piece((c >> 8) & 0xFF) + u',' + piece((c >> 16) & 0xFF);
}

std::int32_t StyleTextToColour(const QString& text) {
  // The separators at characters 4 and 8 are never looked at.
  const auto piece = [&text](int start) {
    return static_cast<std::uint32_t>(StrictToInt(text.mid(start, 3))) & 0xFF;
  };
  const std::uint32_t red = piece(0);
  const std::uint32_t green = piece(4);
  const std::uint32_t blue = piece(8);
  return static_cast<std::int32_t>(red | green << 8 | blue << 16);
}

QString SlotText(const FrameStyleSlot& slot, std::int32_t value) {
  switch (slot.kind) {
    case SlotKind::Switch:
      return QString::number(value & 0xFF);
    case SlotKind::Colour:
      return StyleColourToText(value);
    default:
      return QString::number(value);
  }
}

std::int32_t SlotValueFromText(const FrameStyleSlot& slot, const QString& text, std::int32_t previous) {
  switch (slot.kind) {
    case SlotKind::Switch:
      // Only the low byte belongs to the switch.
      return static_cast<std::int32_t>((static_cast<std::uint32_t>(previous) & ~0xFFu) |
                                       (StrictToInt(text) != 0 ? 1u : 0u));
    case SlotKind::Colour:
      return StyleTextToColour(text);
    default:
      return StrictToInt(text);
  }
}

QList<std::pair<QString, QString>> FrameStyleKeyTexts(const FrameStyle& style) {
  QList<std::pair<QString, QString>> texts;
  texts.reserve(FrameStyleKeys().size());
  for (const FrameStyleSlot& slot : FrameStyleKeys())
    texts.append({QLatin1String(slot.key), SlotText(slot, style.*slot.field)});
  return texts;
}

void ReadFrameStyleKeys(const std::function<std::optional<QString>(const QString& key)>& text_of,
                        FrameStyle& style, QString* failed_key) {
  for (const FrameStyleSlot& slot : FrameStyleKeys()) {
    const QString key = QLatin1String(slot.key);
    const std::optional<QString> text = text_of(key);
    if (!text) continue;
    try {
      style.*slot.field = SlotValueFromText(slot, *text, style.*slot.field);
    } catch (const LumistoError&) {
      if (failed_key) *failed_key = key;
      throw;
    }
  }
}

void ReadFrameStyle(const QString& path, FrameStyle& style) {
  const IniFile ini = IniFile::Load(path);
  // A key the section does not hold reads as "0".
  ReadFrameStyleKeys(
      [&ini](const QString& key) { return ini.Value(QLatin1String(kSection), key, QStringLiteral("0")); },
      style);
}

FrameStyle ScaledFrameStyle(const FrameStyle& style, double factor) {
  FrameStyle scaled = style;
  for (const FrameStyleSlot& slot : FrameStyleSlots()) {
    if (slot.kind != SlotKind::Size) continue;
    const double size = std::round(static_cast<double>(style.*slot.field) * factor);
    // A size typed far beyond the bars must not wrap around into a negative one.
    constexpr double kLow = std::numeric_limits<std::int32_t>::min();
    constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
    scaled.*slot.field = static_cast<std::int32_t>(std::isfinite(size) ? std::clamp(size, kLow, kHigh) : 0.0);
  }
  scaled.size_factor = style.size_factor * factor;
  return scaled;
}

FrameStyle FrameStyleForFitFactor(const FrameStyle& style, float fit_factor) {
  return IsOn(style.scale) ? ScaledFrameStyle(style, fit_factor) : style;
}

void WriteFrameStyle(const QString& path, const FrameStyle& style) {
  IniFile ini = IniFile::Load(path);
  for (const auto& [key, text] : FrameStyleKeyTexts(style)) ini.SetValue(QLatin1String(kSection), key, text);
  ini.Save();
}
