// Paging of the two thumbnail grids and stepping through their lists; the counter texts.
#pragma once

#include <QString>

constexpr int kCellsPerPage = 8;

// Where Up or Down leaves the page index, and whether the grid is drawn again.
struct PageMove {
  int page = 0;
  bool redraw = false;
  bool operator==(const PageMove&) const = default;
};

// The last page of count items: (count - 1) / 8, and 0 for an empty list.
int LastPage(int count);

// Up in thumbnail view: one page back; from page 0 the page stays 0 and nothing is drawn.
PageMove PageUp(int page);
// Down in thumbnail view: one page on. From the last page nothing changes; a page left beyond
// the end by a deletion goes back to the last page and is drawn; an empty list changes nothing.
PageMove PageDown(int page, int count);

// Up and Down in list view: the index to select next, or -1 when the command does nothing
// (Up from the first or with none selected; Down from the last or in an empty list; Down with
// none selected picks the first).
int ListStepUp(int selected);
int ListStepDown(int selected, int count);

// The item index shown by cell (0..7) of page.
inline int ItemIndex(int page, int cell) { return page * kCellsPerPage + cell; }
// The cell that shows item index on page, or -1 when it is on another page.
int CellOfItem(int index, int page);

// The counter: the count alone ("17"), or after a choice the 1-based index and the count ("3/17").
QString CounterText(int count);
QString CounterText(int index, int count);
