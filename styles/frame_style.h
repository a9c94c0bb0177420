// The frame style record: 32 values that describe one frame, and its "Frames" settings section.
#pragma once

#include <QList>
#include <QRgb>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>

// One frame: seven effects switched on and off with their opacity, size, colour, shape and
// texture. Fields are declared in slot order (the order of the settings file and the renderer).
// Opacities are 0..255; sizes are pixels of the bitmap being drawn; switches use only their low
// byte; colours are words 0x00BBGGRR; FrameSharp is 0 rectangle, 1 ellipse, 2 diamond; the texture
// indexes name tiles of the TextureList (0..78).
struct FrameStyle {
  std::int32_t blend_opacity = 0;     // 0  BlendOpacity
  std::int32_t color_draw = 0;        // 1  ColorDraw
  std::int32_t color_opacity = 0;     // 2  ColorOpacity
  std::int32_t color_color = 0;       // 3  ColorColor
  std::int32_t line_draw = 0;         // 4  LineDraw
  std::int32_t line_opacity = 0;      // 5  LineOpacity
  std::int32_t line_size = 0;         // 6  LineSize
  std::int32_t line_color = 0;        // 7  LineColor
  std::int32_t frame_include = 0;     // 8  FrameInclude
  std::int32_t frame_sharp = 0;       // 9  FrameSharp
  std::int32_t frame_color_text = 0;  // 10 FrameColorText
  std::int32_t frame_text = 0;        // 11 FrameText
  std::int32_t frame_text_size = 0;   // 12 FrameTextSize
  std::int32_t frame_draw = 0;        // 13 FrameDraw
  std::int32_t frame_opacity = 0;     // 14 FrameOpacity
  std::int32_t frame_size = 0;        // 15 FrameSize
  std::int32_t frame_color = 0;       // 16 FrameColor
  std::int32_t stroke_draw = 0;       // 17 StrokeDraw
  std::int32_t stroke_opacity = 0;    // 18 StrokeOpacity
  std::int32_t stroke_size = 0;       // 19 StrokeSize
  std::int32_t stroke_color = 0;      // 20 StrokeColor
  std::int32_t shadow_draw = 0;       // 21 ShadowDraw
  std::int32_t shadow_opacity = 0;    // 22 ShadowOpacity
  std::int32_t shadow_size = 0;       // 23 ShadowSize
  std::int32_t shadow_color = 0;      // 24 ShadowColor
  std::int32_t back_color_text = 0;   // 25 BackColorText
  std::int32_t back_text = 0;         // 26 BackText
  std::int32_t back_text_size = 0;    // 27 BackTextSize
  std::int32_t back_draw = 0;         // 28 BackDraw
  std::int32_t back_opacity = 0;      // 29 BackOpacity
  std::int32_t back_size = 0;         // 30 BackSize
  std::int32_t back_color = 0;        // 31 BackColor
  // Not a slot: the key Scale after the 32. Off (0, or a file without the key): sizes are pixels
  // of the picture being drawn. On: sizes are pixels of the preview, and a full-size render
  // multiplies them by the photo's fit factor, so the saved picture is the preview enlarged.
  std::int32_t scale = 0;
  // Not stored: the factor ScaledFrameStyle multiplied the sizes by (1 for a style as read). The
  // drop shadow's fade and corner are worked out from the style's own size and then grow with it,
  // so a scaled frame is the preview's frame enlarged.
  double size_factor = 1.0;

  static constexpr int kSlotCount = 32;
  std::int32_t& Slot(int index);
  std::int32_t Slot(int index) const;

  bool operator==(const FrameStyle&) const = default;
};

// The window's shape, the FrameSharp slot; any other value of the slot cuts no window.
enum class WindowShape : std::int32_t { Rectangle = 0, Oval = 1, Diamond = 2 };
inline WindowShape WindowShapeOf(std::int32_t frame_sharp) { return static_cast<WindowShape>(frame_sharp); }

enum class SlotKind { Opacity, Switch, Colour, Size, Index };

struct FrameStyleSlot {
  const char* key;  // the key in the "Frames" section
  SlotKind kind;
  std::int32_t FrameStyle::*field;
};

// The 32 slots in slot order.
const std::array<FrameStyleSlot, FrameStyle::kSlotCount>& FrameStyleSlots();
// The key Scale, a switch, which the settings file holds after the 32 slots.
const FrameStyleSlot& FrameStyleScaleKey();
// Every key of the "Frames" section in file order: the 32 slots, then Scale.
const std::array<FrameStyleSlot, FrameStyle::kSlotCount + 1>& FrameStyleKeys();

// A switch slot is on when its low byte is not zero.
inline bool IsOn(std::int32_t switch_slot) { return (switch_slot & 0xFF) != 0; }

// Opacity a (low byte) and colour word 0x00BBGGRR give the ARGB word (a << 24 | r << 16 | g << 8 | b).
inline QRgb StyleArgb(std::int32_t opacity, std::int32_t colour) {
  const auto c = static_cast<std::uint32_t>(colour);
  return (static_cast<std::uint32_t>(opacity & 0xFF) << 24) | ((c & 0xFF) << 16) | (c & 0xFF00) |
         ((c >> 16) & 0xFF);
}

// Colour word to its eleven-character text "RRR,GGG,BBB" (the top byte is dropped).
QString StyleColourToText(std::int32_t colour);
// Text to colour word: the pieces at characters 1-3, 5-7 and 9-11, each converted strictly and
// cut to its low 8 bits. Throws LumistoError with the conversion message.
std::int32_t StyleTextToColour(const QString& text);

// Percent of the editor to stored opacity and back, truncating (50 -> 127, 127 -> 49).
inline int StoredOpacityFromPercent(int percent) { return percent * 255 / 100; }
inline int PercentFromStoredOpacity(int stored) { return stored * 100 / 255; }

// The keys of style in file order (the 32 slots, then Scale), each with the text it is written as.
// Every file that holds a frame style (a template's settings file, a batch job's entry) writes
// this list, so no key can be left out of one of them.
QList<std::pair<QString, QString>> FrameStyleKeyTexts(const FrameStyle& style);

// Reads every key of FrameStyleKeys() in file order, taking each one's text from text_of: a key
// without text (nullopt) keeps its value in style. On a conversion error the keys before the
// failing one hold their new values, *failed_key (when given) names the key, and the
// LumistoError is thrown. The one reader of frame styles, whatever file holds them.
void ReadFrameStyleKeys(const std::function<std::optional<QString>(const QString& key)>& text_of,
                        FrameStyle& style, QString* failed_key = nullptr);

// Reads the "Frames" section of the settings file at path into style, key by key (the 32 slots,
// then Scale). On a conversion error the keys before the failing one hold their new values, that
// key and the later ones keep theirs, and the LumistoError is thrown. A missing key reads as "0".
void ReadFrameStyle(const QString& path, FrameStyle& style);

// Writes the 33 keys of style into the "Frames" section of the file at path (created when
// missing), keeping every other line; one replacement of the file. Throws "Unable to write to".
void WriteFrameStyle(const QString& path, const FrameStyle& style);

// Converts the text of one key as the reader does: strict decimal, a switch's low byte set to
// 1 or 0 over previous's other bytes, or the colour text. Throws LumistoError on bad text.
std::int32_t SlotValueFromText(const FrameStyleSlot& slot, const QString& text, std::int32_t previous);

// The style with its seven sizes (line, band, band texture, stroke, shadow, margin texture,
// margin) multiplied by factor and rounded, kept within the 32-bit range; everything else as it
// is. The texture tiles follow their texture sizes.
FrameStyle ScaledFrameStyle(const FrameStyle& style, double factor);

// The style a picture with that fit factor (photo pixels per preview pixel) is framed with:
// the style itself when Scale is off, ScaledFrameStyle by fit_factor when it is on.
FrameStyle FrameStyleForFitFactor(const FrameStyle& style, float fit_factor);

// The text a slot is written as: decimal, the low byte of a switch, or the colour text.
QString SlotText(const FrameStyleSlot& slot, std::int32_t value);
