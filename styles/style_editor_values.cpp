// The style editor's controls and the frame style they stand for.
#include "styles/style_editor_values.h"

#include <algorithm>

#include "base/lumisto_error.h"
#include "base/strict_int.h"

const std::array<StyleEditorBox, kStyleEditorBoxCount>& StyleEditorBoxes() {
  using S = FrameStyle;
  static const std::array<StyleEditorBox, kStyleEditorBoxCount> boxes{{
      {"BlendOpacity", "BlendOpacityBar", 1, 100, true, &S::blend_opacity},
      {"ColorOpacity", "ColorOpacityBar", 1, 100, true, &S::color_opacity},
      {"LineOpacity", "LineOpacityBar", 1, 100, true, &S::line_opacity},
      {"LineSize", "LineSizeBar", 1, 50, false, &S::line_size},
      {"FrameTextSize", "FrameTextSizeBar", 1, 50, false, &S::frame_text_size},
      {"FrameOpacity", "FrameOpacityBar", 1, 100, true, &S::frame_opacity},
      {"FrameSize", "FrameSizeBar", 1, 50, false, &S::frame_size},
      {"StrokeOpacity", "StrokeOpacityBar", 1, 100, true, &S::stroke_opacity},
      {"StrokeSize", "StrokeSizeBar", 1, 50, false, &S::stroke_size},
      {"ShadowOpacity", "ShadowOpacityBar", 1, 100, true, &S::shadow_opacity},
      {"ShadowSize", "ShadowSizeBar", 1, 50, false, &S::shadow_size},
      {"BackTextSize", "BackTextSizeBar", 1, 50, false, &S::back_text_size},
      {"BackOpacity", "BackOpacityBar", 1, 100, true, &S::back_opacity},
      {"BackSize", "BackSizeBar", 1, 50, false, &S::back_size},
  }};
  return boxes;
}

const StyleEditorBox* FindStyleEditorBox(const QString& name) {
  for (const StyleEditorBox& box : StyleEditorBoxes())
    if (name == QLatin1String(box.name)) return &box;
  return nullptr;
}

int BoxNumberForStored(const StyleEditorBox& box, std::int32_t stored) {
  // In 64 bits: a stored opacity near the 32-bit limit must not overflow on its way to percent.
  return static_cast<int>(box.percent ? std::int64_t{stored} * 100 / 255 : stored);
}

int BarPositionForStored(const StyleEditorBox& box, std::int32_t stored) {
  return std::clamp(BoxNumberForStored(box, stored), box.min, box.max);
}

StyleEditorValues StyleEditorValuesFromStyle(const FrameStyle& style) {
  StyleEditorValues values;
  values.rest = style;
  for (const FrameStyleSlot& key : FrameStyleKeys())
    if (key.kind == SlotKind::Switch) values.rest.*key.field = IsOn(style.*key.field) ? 1 : 0;
  for (int i = 0; i < kStyleEditorBoxCount; ++i) {
    const StyleEditorBox& box = StyleEditorBoxes()[static_cast<std::size_t>(i)];
    values.boxes[static_cast<std::size_t>(i)] = QString::number(BoxNumberForStored(box, style.*box.field));
  }
  values.opened = values.rest;
  values.opened_boxes = values.boxes;
  return values;
}

BoxReading ReadStyleEditorBox(const StyleEditorBox& box, const QString& text) {
  BoxReading reading;
  int number = 0;
  try {
    number = StrictToInt(text);
  } catch (const LumistoError& error) {
    reading.error = error.Message();
    return reading;
  }
  if (number < box.min || number > box.max) {
    reading.error = QStringLiteral("'%1' is not between %2 and %3").arg(text).arg(box.min).arg(box.max);
    return reading;
  }
  reading.number = number;
  return reading;
}

RebuiltStyle RebuildStyleFromValues(const StyleEditorValues& values) {
  RebuiltStyle result;
  FrameStyle style = values.rest;
  for (int i = 0; i < kStyleEditorBoxCount; ++i) {
    const StyleEditorBox& box = StyleEditorBoxes()[static_cast<std::size_t>(i)];
    const QString& text = values.boxes[static_cast<std::size_t>(i)];
    if (!text.isEmpty() && text == values.opened_boxes[static_cast<std::size_t>(i)]) {
      style.*box.field = values.opened.*box.field;
      continue;
    }
    const BoxReading reading = ReadStyleEditorBox(box, text);
    if (!reading.number) {
      result.error = reading.error;
      return result;
    }
    style.*box.field = box.percent ? StoredOpacityFromPercent(*reading.number) : *reading.number;
  }
  result.style = style;
  return result;
}
