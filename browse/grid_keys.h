// The keys that move through a thumbnail grid of two rows of four cells a page.
#pragma once

// Where key (a Qt::Key) moves the keyboard's place in a grid of count items from current (-1:
// nowhere yet, then every moving key lands on the first item). Left and Right step one item, Up and
// Down one row of four, Page Up and Page Down one page of eight, Home and End to the ends; the
// place stops at the ends. -1 for an empty grid or a key that does not move.
int GridKeyTarget(int current, int count, int key);
