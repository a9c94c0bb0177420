// Where a tool window opens next to the main window.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// The top-left corner for a tool window of frame size tool beside the main window's frame main,
// inside the screen's available area desktop: to the right of the main window when it fits there,
// else to its left, else below, else above; when none fits, inside the screen clear of keep_clear
// (the main window's own minimise and close buttons) wherever the screen allows. Gaps of 8 pixels.
QPoint PlaceToolWindow(const QRect& main, const QSize& tool, const QRect& desktop, const QRect& keep_clear);
