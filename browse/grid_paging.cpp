// Page and list stepping rules of the thumbnail grids.
#include "browse/grid_paging.h"

int LastPage(int count) { return count > 0 ? (count - 1) / kCellsPerPage : 0; }

PageMove PageUp(int page) {
  if (page - 1 < 0) return {0, false};
  return {page - 1, true};
}

PageMove PageDown(int page, int count) {
  if (count <= 0) return {page, false};
  const int last = LastPage(count);
  // A page left beyond the end by a deletion is drawn again once Down brings it back to the last
  // page; otherwise the grid would stay blank and Up, seeing page 0, could not bring it back.
  if (page + 1 > last) return {last, page != last};
  return {page + 1, true};
}

int ListStepUp(int selected) { return selected > 0 ? selected - 1 : -1; }

int ListStepDown(int selected, int count) {
  if (count <= 0 || selected >= count - 1) return -1;
  return selected < 0 ? 0 : selected + 1;
}

int CellOfItem(int index, int page) {
  const int cell = index - page * kCellsPerPage;
  return index >= 0 && cell >= 0 && cell < kCellsPerPage ? cell : -1;
}

QString CounterText(int count) { return QString::number(count); }

QString CounterText(int index, int count) { return QStringLiteral("%1/%2").arg(index + 1).arg(count); }
