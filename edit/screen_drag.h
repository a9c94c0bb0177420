// Dragging on the preview image: the photo offset in normal display, the caption while it is placed.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QSize>
#include <Qt>

#include "compose/display_mode.h"
#include "edit/edit_state.h"

// What a move changed.
enum class DragChange { None, PhotoOffset, CaptionPosition };

// Mouse down at pos (preview pixels): with the left button held, records the anchor, pointer
// minus photo offset in normal display, pointer minus caption position (truncated) while the
// caption is placed. Other modes and buttons change nothing.
void ScreenMouseDown(EditState& state, DisplayMode mode, QPoint pos, Qt::MouseButtons buttons);

// Mouse move with the left button held: the photo offset (normal display) or the caption
// position (caption placing, moved by whole pixels) becomes pointer minus anchor. Returns what
// changed; without the left button, or in other modes, nothing.
DragChange ScreenMouseMove(EditState& state, DisplayMode mode, QPoint pos, Qt::MouseButtons buttons);

// An arrow key while the caption is placed: the caption position moves by delta, each coordinate
// kept within 0..the preview's side (one dragged beyond it only comes back). Other modes, or a
// move that the limits take away, change nothing.
DragChange ScreenArrowMove(EditState& state, DisplayMode mode, QPoint delta, QSize screen);
