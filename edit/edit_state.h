// The live edit state of the current photo: file, orientation history, crop, placement, tone,
// caption and output size.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QString>
#include <array>
#include <cstdint>

#include "compose/tone_matrix.h"

// One geometric edit; the numbers are the rotate-flip codes the history stores (in files too).
enum class GeometricEdit : int {
  TurnClockwise = 1,
  TurnCounterClockwise = 3,
  Mirror = 4,
};

// The geometric edits in the order made, room for kCapacity of them.
struct RotateFlipList {
  static constexpr int kCapacity = 98;
  std::array<GeometricEdit, kCapacity> codes{};
  int count = 0;

  // The slot the next code goes to, counted from 1 (always count + 1).
  int NextSlot() const { return count + 1; }
  // Appends a code; false, and nothing stored, when the list is full.
  bool Append(GeometricEdit code);
  void Clear() { *this = RotateFlipList{}; }
  bool operator==(const RotateFlipList&) const = default;
};

// A crop in pixels of the oriented photo; all zero means no crop.
struct CropRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool IsEmpty() const { return x == 0 && y == 0 && width == 0 && height == 0; }
  bool operator==(const CropRect&) const = default;
};

// The caption's font style; the numbers are the ones files store.
enum class CaptionStyle : int { Regular = 0, Bold = 1, Italic = 2, BoldItalic = 3 };

inline bool IsBold(CaptionStyle style) {
  return style == CaptionStyle::Bold || style == CaptionStyle::BoldItalic;
}
inline bool IsItalic(CaptionStyle style) {
  return style == CaptionStyle::Italic || style == CaptionStyle::BoldItalic;
}

// The caption over the photo. Colours are words 0x00BBGGRR; opacities 0..255; the position is the
// caption's top-left corner in preview pixels.
struct CaptionSettings {
  QString font_name = QStringLiteral("Arial Black");
  int size = 24;  // points
  CaptionStyle style = CaptionStyle::Regular;
  std::int32_t face_colour = 0xFFFFFF;
  std::int32_t shadow_colour = 0x646464;
  int face_opacity = 255;
  int shadow_opacity = 255;
  QString text;
  QPointF position{120.0, 180.0};
  QPoint drag_anchor{10, 10};
  bool operator==(const CaptionSettings&) const = default;
};

struct EditState {
  QString photo_path;
  QString template_path;
  int photo_width = 0;  // of the decoded photo in its current orientation
  int photo_height = 0;
  float fit_factor = 1.0f;  // photo pixels per preview pixel
  int photo_page = 0;       // the photo grid's page
  RotateFlipList rotate_flip;
  CropRect crop;
  int mirror_switch = 1;  // toggled by each horizontal mirror
  QPoint photo_offset{1, 1};
  QPoint photo_drag_anchor{1, 1};
  float contrast = 1.0f;
  float brightness = 0.0f;
  float saturation = 1.0f;
  ToneMatrix tone_matrix;
  CaptionSettings caption;
  int output_width = 0;  // 0 x 0: the composite's own size
  int output_height = 0;

  bool operator==(const EditState&) const = default;
};

// Called when a photo is loaded, before it is decoded: placement back to (1, 1), no crop, no
// geometric edits, identity tone matrix. The tone values, caption, mirror switch and output size
// stay.
void ResetPhotoEdits(EditState& state);

// Called when a template is chosen: placement back to (1, 1) and identity tone matrix.
void ResetPlacement(EditState& state);

// Photo pixels per preview pixel for a photo of that size in a preview box side_length wide:
// max(width, height) / side_length.
float FitFactor(int photo_width, int photo_height, int side_length);
