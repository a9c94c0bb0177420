// Geometric edits: orientation replay, folding of a full history, crop rewrite.
#include "edit/geometric_edits.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

int ReplayOrientation(const RotateFlipList& list) {
  int n = 1;
  for (int i = 0; i < list.count; ++i) {
    const GeometricEdit code = list.codes[static_cast<std::size_t>(i)];
    if (n <= 4) {
      if (code == GeometricEdit::Mirror)
        n += 4;
      else if (code == GeometricEdit::TurnClockwise)
        n = n == 4 ? 1 : n + 1;
      else if (code == GeometricEdit::TurnCounterClockwise)
        n = n == 1 ? 4 : n - 1;
    } else {
      // Mirrored, a turn runs the other way round.
      if (code == GeometricEdit::Mirror)
        n -= 4;
      else if (code == GeometricEdit::TurnCounterClockwise)
        n = n == 8 ? 5 : n + 1;
      else if (code == GeometricEdit::TurnClockwise)
        n = n == 5 ? 8 : n - 1;
    }
  }
  return n;
}

RotateFlipType ReplayedRotateFlip(const RotateFlipList& list) {
  return static_cast<RotateFlipType>(ReplayOrientation(list) - 1);
}

QList<GeometricEdit> ShortestCodes(int orientation) {
  switch (orientation) {
    case 2:
      return {GeometricEdit::TurnClockwise};
    case 3:
      return {GeometricEdit::TurnClockwise, GeometricEdit::TurnClockwise};
    case 4:
      return {GeometricEdit::TurnCounterClockwise};
    case 5:
      return {GeometricEdit::Mirror};
    case 6:
      return {GeometricEdit::TurnClockwise, GeometricEdit::Mirror};
    case 7:
      return {GeometricEdit::TurnClockwise, GeometricEdit::TurnClockwise, GeometricEdit::Mirror};
    case 8:
      return {GeometricEdit::TurnCounterClockwise, GeometricEdit::Mirror};
    default:
      return {};
  }
}

void RecordGeometricEdit(RotateFlipList& list, GeometricEdit code) {
  if (list.count >= RotateFlipList::kCapacity) {
    const QList<GeometricEdit> folded = ShortestCodes(ReplayOrientation(list));
    list.Clear();
    for (GeometricEdit c : folded) list.Append(c);
  }
  list.Append(code);
}

CropRect RewriteCrop(const CropRect& crop, GeometricEdit code, int width, int height) {
  if (crop.IsEmpty()) return crop;
  switch (code) {
    case GeometricEdit::Mirror:
      return {width - crop.x - crop.width, crop.y, crop.width, crop.height};
    case GeometricEdit::TurnCounterClockwise:
      return {crop.y, width - crop.x - crop.width, crop.height, crop.width};
    case GeometricEdit::TurnClockwise:
      return {height - crop.y - crop.height, crop.x, crop.height, crop.width};
  }
  return crop;
}

void ApplyGeometricEdit(EditState& state, GeometricEdit code) {
  RecordGeometricEdit(state.rotate_flip, code);
  if (code == GeometricEdit::Mirror) state.mirror_switch = state.mirror_switch == 1 ? 0 : 1;
  state.crop = RewriteCrop(state.crop, code, state.photo_width, state.photo_height);
  if (code != GeometricEdit::Mirror) std::swap(state.photo_width, state.photo_height);
}

int ConstrainedSide(int typed, int other_start, int this_start) {
  if (this_start == 0) return 0;
  const std::int64_t side = static_cast<std::int64_t>(typed) * other_start / this_start;
  return static_cast<int>(std::clamp<std::int64_t>(side, INT_MIN, INT_MAX));
}

QSize FramedPictureSize(const EditState& state) {
  if (!state.crop.IsEmpty()) return QSize(state.crop.width, state.crop.height);
  return QSize(state.photo_width, state.photo_height);
}

bool OutputSizeChangesShape(QSize picture, QSize output) {
  if (picture.isEmpty() || output.isEmpty()) return false;
  const double stretch = (static_cast<double>(output.width()) * picture.height()) /
                         (static_cast<double>(output.height()) * picture.width());
  return std::abs(stretch - 1.0) > 0.01;
}
