// The custom frames: a coloured border around the shown photo with a clear window ("1") or a soft
// line just inside the photo's edge ("2"), drawn into the custom frame images.
#pragma once

#include <QColor>
#include <QRect>

#include "edit/live_compositor.h"

enum class CustomFrameShape {
  Window,    // the colour everywhere but a rectangle inset from the shown photo's edges
  SoftLine,  // a line of the colour fading in and out just inside the shown photo's edges
};

// The values of the custom frame controls, with their ranges.
struct CustomFrameSettings {
  static constexpr int kMinBorder = 1;
  static constexpr int kMaxBorder = 100;
  static constexpr int kMinOpacity = 1;
  static constexpr int kMaxOpacity = 255;
  QColor colour = Qt::black;
  int border = 5;     // the window's inset in preview pixels, kMinBorder..kMaxBorder
  int opacity = 255;  // kMinOpacity..kMaxOpacity
  bool operator==(const CustomFrameSettings&) const = default;
};

// Where the soft line peaks and where it has faded out again, as a share of the way from the
// shown photo's edge to its centre.
inline constexpr double kSoftLinePeak = 0.04;
inline constexpr double kSoftLineEnd = 0.08;

// Redraws frames.picture (the colour, opaque) and frames.mask (its green byte the frame's opacity
// at each pixel) for a preview of frames.masked's size in which the photo is shown in shown_photo.
// Values outside their ranges are clamped. An empty shown_photo counts as the whole preview.
void DrawCustomFrame(CustomFrames& frames, CustomFrameShape shape, const CustomFrameSettings& settings,
                     QRect shown_photo);
