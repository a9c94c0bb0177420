// Arrow keys as steps: what the caption placing and the crop selection move by.
#pragma once

#include <QPoint>
#include <Qt>

// One pixel in the arrow's direction (y grows downwards); a null point for any other key.
inline QPoint ArrowKeyStep(int key) {
  switch (key) {
    case Qt::Key_Left:
      return {-1, 0};
    case Qt::Key_Right:
      return {1, 0};
    case Qt::Key_Up:
      return {0, -1};
    case Qt::Key_Down:
      return {0, 1};
    default:
      return {};
  }
}
