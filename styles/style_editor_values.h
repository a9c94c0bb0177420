// What the style editor's controls hold, and the conversions between them and a frame style:
// the fourteen number boxes with their bar ranges, the percent rule, the rebuild order.
#pragma once

#include <QString>
#include <array>
#include <optional>

#include "styles/frame_style.h"

// One number box of the editor and the bar beside it.
struct StyleEditorBox {
  const char* name;      // the box's objectName, also the slot's key
  const char* bar_name;  // the bar's objectName
  int min;               // the bar's range, which the box keeps to as well
  int max;
  bool percent;  // an opacity shown in percent (stored = percent x 255 / 100)
  std::int32_t FrameStyle::*field;
};

inline constexpr int kStyleEditorBoxCount = 14;

// The fourteen boxes in the order the working style is rebuilt from them.
const std::array<StyleEditorBox, kStyleEditorBoxCount>& StyleEditorBoxes();
// The box whose objectName is name, or nullptr.
const StyleEditorBox* FindStyleEditorBox(const QString& name);

// The controls' contents: the box texts (in StyleEditorBoxes order) and everything else the form
// holds (switches, colours, shape, radios, texture tiles, Scale) as a style whose box fields are
// not looked at.
// opened and opened_boxes remember what the editor was opened on: a box still holding the text it
// opened with stands for the stored value itself, so an untouched Save writes the file back value
// for value (a percent cannot hold every opacity, and a stored value may lie outside the bar).
struct StyleEditorValues {
  std::array<QString, kStyleEditorBoxCount> boxes;
  FrameStyle rest;
  std::array<QString, kStyleEditorBoxCount> opened_boxes;
  FrameStyle opened;
  bool operator==(const StyleEditorValues&) const = default;
};

// The number a box shows for a stored value: the percent (stored x 100 / 255, truncating) or the
// size, as stored (in 64 bits: no overflow on the way to percent; held within the 32-bit range).
int BoxNumberForStored(const StyleEditorBox& box, std::int32_t stored);
// The position of the box's bar for a stored value: the box's number clamped to the bar's range.
int BarPositionForStored(const StyleEditorBox& box, std::int32_t stored);

// The controls loaded from style; switches become 0 or 1. opened and opened_boxes are set too.
StyleEditorValues StyleEditorValuesFromStyle(const FrameStyle& style);

// A box's text as a number within its range, or the message that says why not: the conversion
// message "'<text>' is not a valid integer value" for text that is no decimal integer, "'<text>'
// is not between <min> and <max>" for a number outside the range.
struct BoxReading {
  std::optional<int> number;
  QString error;
};
BoxReading ReadStyleEditorBox(const StyleEditorBox& box, const QString& text);

// The working style rebuilt from the controls: a box holding the text it opened with gives the
// opened style's value unchanged; any other box is read with ReadStyleEditorBox, opacities stored as
// percent x 255 / 100. On the first box that does not read, no style and its message.
struct RebuiltStyle {
  std::optional<FrameStyle> style;
  QString error;
};
RebuiltStyle RebuildStyleFromValues(const StyleEditorValues& values);
