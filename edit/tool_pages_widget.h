// The editing tool pages `PageControl4` under the preview: "Adjust" (edit buttons, tone knobs,
// Add Batch, "A") and "Text" (the caption's controls). Laid out here; their commands come later.
#pragma once

#include <QPushButton>
#include <QStackedWidget>
#include <array>

class ToolPagesWidget : public QStackedWidget {
  Q_OBJECT

 public:
  static constexpr int kKnobStart = 42;

  explicit ToolPagesWidget(QWidget* parent);

  // The three tone knobs back at their start position.
  void ResetToneKnobs();
  // The left edges of the knobs B1 (contrast), B2 (brightness), B3 (saturation).
  std::array<int, 3> KnobPositions() const;

 private:
  void BuildLayout();
  QWidget* BuildAdjustPage();
  QWidget* BuildTextPage();

  std::array<QPushButton*, 3> knobs_{};  // B1, B2, B3
};
