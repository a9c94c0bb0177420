// Arrow, page and end keys in a thumbnail grid.
#include "browse/grid_keys.h"

#include <Qt>
#include <algorithm>

#include "browse/grid_paging.h"

namespace {

// The cells of one row of a page.
constexpr int kCellsPerRow = 4;

}  // namespace

int GridKeyTarget(int current, int count, int key) {
  if (count <= 0) return -1;
  int step = 0;
  switch (key) {
    case Qt::Key_Left:
      step = -1;
      break;
    case Qt::Key_Right:
      step = 1;
      break;
    case Qt::Key_Up:
      step = -kCellsPerRow;
      break;
    case Qt::Key_Down:
      step = kCellsPerRow;
      break;
    case Qt::Key_PageUp:
      step = -kCellsPerPage;
      break;
    case Qt::Key_PageDown:
      step = kCellsPerPage;
      break;
    case Qt::Key_Home:
      return 0;
    case Qt::Key_End:
      return count - 1;
    default:
      return -1;
  }
  if (current < 0 || current >= count) return 0;
  return std::clamp(current + step, 0, count - 1);
}
