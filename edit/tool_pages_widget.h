// The editing tool pages `PageControl4` under the preview: "Adjust" (edit buttons, tone knobs,
// Add Batch, "A") and "Text" (the caption's controls).
#pragma once

#include <QColor>
#include <QPushButton>
#include <QStackedWidget>
#include <array>
#include <functional>

#include "edit/edit_state.h"
#include "edit/tone_knobs.h"

class QComboBox;
class QPlainTextEdit;
class QSpinBox;
class UserDialogs;

// The grey (100, 100, 100) the caption's shadow starts with; the colour boxes name it "Grey 100".
inline const QColor kCaptionShadowGrey(100, 100, 100);

class ToolPagesWidget : public QStackedWidget {
  Q_OBJECT

 public:
  static constexpr int kKnobStart = kToneKnobStart;
  static constexpr int kAdjustPage = 0;
  static constexpr int kTextPage = 1;
  // The last entry of both colour boxes: it opens the colour chooser.
  static constexpr const char* kOtherColour = "Other...";

  // photo_loaded tells whether a photo is loaded: the knobs move and report only then. dialogs
  // shows the colour chooser of "Other..." (none: "Other..." changes nothing).
  explicit ToolPagesWidget(QWidget* parent, std::function<bool()> photo_loaded = {},
                           UserDialogs* dialogs = nullptr);

  // The caption's text box takes the keyboard (the "Text" page showing).
  void FocusCaptionText();
  QPlainTextEdit* CaptionText() const { return memo_; }

  // The three tone knobs back at their start position.
  void ResetToneKnobs();
  ToneKnobPositions KnobPositions() const;
  // Puts the knobs at positions (each kept within 1..79).
  void SetKnobPositions(ToneKnobPositions positions);

  // Shows the caption in the "Text" controls without reporting changes: the family the system
  // draws for its font, its size, bold and italic, colours and text.
  void LoadCaptionControls(const CaptionSettings& caption);
  // caption with the font, size, style, colours and text the controls hold.
  CaptionSettings ReadCaptionControls(CaptionSettings caption) const;

 Q_SIGNALS:
  // A knob was let go while a photo is loaded.
  void ToneKnobsReleased(ToneKnobPositions positions);
  // The font, size, bold, italic or text changed.
  void CaptionControlsChanged();
  // FC (shadow) or BC (face) changed while the "Text" page shows; colour words 0x00BBGGRR.
  void ShadowColourChanged(std::int32_t colour);
  void FaceColourChanged(std::int32_t colour);
  // "OK" of the "Text" page.
  void CaptionDone();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildLayout();
  QWidget* BuildAdjustPage();
  QWidget* BuildTextPage();
  void Wire();
  // A colour box moved to index: "Other..." asks the chooser and selects what it gives, or goes
  // back to last_index. True when the box now holds another colour than before.
  bool TakeColourChoice(QComboBox* box, int& last_index, int index);

  std::function<bool()> photo_loaded_;
  UserDialogs* dialogs_ = nullptr;
  std::array<QPushButton*, 3> knobs_{};  // B1, B2, B3
  std::array<int, 3> drag_start_{};
  QComboBox* fonts_ = nullptr;
  QSpinBox* size_ = nullptr;
  QPushButton* bold_ = nullptr;
  QPushButton* italic_ = nullptr;
  QPlainTextEdit* memo_ = nullptr;
  QComboBox* shadow_colour_ = nullptr;  // FC
  QComboBox* face_colour_ = nullptr;    // BC
  int shadow_index_ = 0;                // the entries chosen before, for a cancelled "Other..."
  int face_index_ = 0;
  QPushButton* ok_ = nullptr;
};
