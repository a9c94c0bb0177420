// Drag arithmetic of the preview image.
#include "edit/screen_drag.h"

#include <algorithm>

void ScreenMouseDown(EditState& state, DisplayMode mode, QPoint pos, Qt::MouseButtons buttons) {
  if (!(buttons & Qt::LeftButton)) return;
  if (mode == DisplayMode::CaptionEditing) {
    const QPointF& at = state.caption.position;
    state.caption.drag_anchor =
        QPoint(static_cast<int>(pos.x() - at.x()), static_cast<int>(pos.y() - at.y()));
  } else if (mode == DisplayMode::Normal) {
    state.photo_drag_anchor = pos - state.photo_offset;
  }
}

DragChange ScreenMouseMove(EditState& state, DisplayMode mode, QPoint pos, Qt::MouseButtons buttons) {
  if (!(buttons & Qt::LeftButton)) return DragChange::None;
  if (mode == DisplayMode::Normal) {
    const QPoint delta = pos - state.photo_drag_anchor - state.photo_offset;
    if (delta.isNull()) return DragChange::None;
    state.photo_offset += delta;
    return DragChange::PhotoOffset;
  }
  if (mode == DisplayMode::CaptionEditing) {
    QPointF& at = state.caption.position;
    const QPoint& anchor = state.caption.drag_anchor;
    // Whole pixels: the fractional part of the position survives the drag.
    const auto dx = static_cast<int>((pos.x() - anchor.x()) - at.x());
    const auto dy = static_cast<int>((pos.y() - anchor.y()) - at.y());
    if (dx == 0 && dy == 0) return DragChange::None;
    at += QPointF(dx, dy);
    return DragChange::CaptionPosition;
  }
  return DragChange::None;
}

DragChange ScreenArrowMove(EditState& state, DisplayMode mode, QPoint delta, QSize screen) {
  if (mode != DisplayMode::CaptionEditing) return DragChange::None;
  QPointF& at = state.caption.position;
  // A step never takes the caption further out than it is.
  const auto step = [](double from, int by, int side) {
    const double to = from + by;
    return std::clamp(to, std::min(from, 0.0), std::max(from, static_cast<double>(side)));
  };
  const QPointF moved(step(at.x(), delta.x(), screen.width()), step(at.y(), delta.y(), screen.height()));
  if (moved == at) return DragChange::None;
  at = moved;
  return DragChange::CaptionPosition;
}
