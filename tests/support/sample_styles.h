// A frame style with every layer on, shared by the renderer tests and benchmarks.
#pragma once

#include "styles/frame_style.h"

namespace testing_support {

// Texture background, shadow 20, texture band 30 around the photo, oval window, overlay, stroke
// and line; callers change what their case varies.
inline FrameStyle EveryEffectStyle() {
  FrameStyle s;
  s.blend_opacity = 230;
  s.color_draw = 1;
  s.color_opacity = 60;
  s.color_color = 0x3080C0;
  s.line_draw = 1;
  s.line_opacity = 255;
  s.line_size = 3;
  s.line_color = 0xFFFFFF;
  s.frame_include = 0;
  s.frame_sharp = 1;
  s.frame_color_text = 1;
  s.frame_text = 5;
  s.frame_text_size = 24;
  s.frame_draw = 1;
  s.frame_opacity = 255;
  s.frame_size = 30;
  s.stroke_draw = 1;
  s.stroke_opacity = 255;
  s.stroke_size = 4;
  s.stroke_color = 0x102030;
  s.shadow_draw = 1;
  s.shadow_opacity = 180;
  s.shadow_size = 20;
  s.back_color_text = 1;
  s.back_text = 12;
  s.back_text_size = 32;
  s.back_draw = 1;
  s.back_opacity = 255;
  s.back_size = 40;
  s.back_color = 0xDCE6F0;
  return s;
}

}  // namespace testing_support
