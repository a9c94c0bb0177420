// Placing a tool window beside the main window, inside the screen.
#include "app/tool_placement.h"

#include <algorithm>
#include <array>

namespace {

constexpr int kGap = 8;

QPoint Clamped(QPoint place, const QSize& tool, const QRect& desktop) {
  // A window larger than the screen keeps its top-left corner on the screen.
  place.setX(std::max(desktop.left(), std::min(place.x(), desktop.left() + desktop.width() - tool.width())));
  place.setY(std::max(desktop.top(), std::min(place.y(), desktop.top() + desktop.height() - tool.height())));
  return place;
}

}  // namespace

QPoint PlaceToolWindow(const QRect& main, const QSize& tool, const QRect& desktop, const QRect& keep_clear) {
  const std::array<QPoint, 4> beside = {
      QPoint(main.right() + 1 + kGap, main.top()), QPoint(main.left() - kGap - tool.width(), main.top()),
      QPoint(main.left(), main.bottom() + 1 + kGap), QPoint(main.left(), main.top() - kGap - tool.height())};
  for (const QPoint& place : beside)
    if (desktop.contains(QRect(place, tool))) return place;
  // No room beside it: over the main window, but below its title buttons, or above them.
  const std::array<QPoint, 3> over = {
      Clamped(QPoint(main.right() + 1 - tool.width(), keep_clear.bottom() + 1 + kGap), tool, desktop),
      Clamped(QPoint(main.right() + 1 - tool.width(), keep_clear.top() - kGap - tool.height()), tool,
              desktop),
      Clamped(QPoint(keep_clear.left() - kGap - tool.width(), main.top()), tool, desktop)};
  for (const QPoint& place : over)
    if (!QRect(place, tool).intersects(keep_clear)) return place;
  return over[0];
}
