// The style editor `TFrameSetup`: seven effect pages reached through an effect list, every
// change previewed live in the main window; Save writes the template back, New Style... adds one.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <functional>

#include "base/config.h"
#include "base/user_dialogs.h"
#include "styles/frame_style.h"
#include "styles/style_editor_values.h"
#include "styles/texture_list.h"

class NewStyleDialog;
class TemplateGridWidget;
class TexturePickerWidget;

// What the editor needs of the window above it, handed in by the application.
struct StyleEditorHooks {
  // The composite of the working photo with a style, at the working photo's size.
  std::function<QImage(const FrameStyle&)> render_preview;
  // Shows a composite straight on the preview, without caption and fade.
  std::function<void(const QImage&)> show_preview;
  // Shows the window's current style again.
  std::function<void()> refresh_preview;
  // The 70 x 70 preview picture of a style.
  std::function<QImage(const FrameStyle&)> render_thumbnail;
  // The current template's picture path, read and set.
  std::function<QString()> template_path;
  std::function<void(const QString&)> set_template_path;
  // Makes a style the window's current style.
  std::function<void(const FrameStyle&)> set_current_style;
};

class StyleEditorDialog : public QDialog {
  Q_OBJECT

 public:
  StyleEditorDialog(const Config& config, UserDialogs& dialogs, TemplateGridWidget& templates,
                    const TextureList& textures, StyleEditorHooks hooks, QWidget* parent = nullptr);
  ~StyleEditorDialog() override;

  // Edit: nothing without a current template; otherwise Load, centred on the screen, modal.
  void Open(const FrameStyle& current);
  // Loads the controls from current, sets the pages' switches and previews once.
  void Load(const FrameStyle& current);

  // Rebuilds the working style from the controls and previews it; while a box does not read,
  // its message shows in the dialog and nothing is previewed. False then.
  bool RenderStylePreview();
  const FrameStyle& WorkingStyle() const { return working_; }
  // The message of the box that does not read, or empty.
  QString Problem() const;

  // Save: the settings file and the preview picture of the current template, then the window's
  // current style and the template's cell; closes. Stays open on any failure, with the message.
  void Save();
  // Cancel, Escape and the close button: the preview shows the current style again.
  void reject() override;
  void ShowPage(int tag);
  int PageShown() const;

  TexturePickerWidget* TexturePicker() const { return picker_; }
  NewStyleDialog* NewStyle() const { return new_style_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Fits the effect list's captions to their panels in the look they are shown with.
  void showEvent(QShowEvent* event) override;

 private:
  void BuildLayout(const TextureList& textures);
  void Wire();
  bool Rebuild();
  StyleEditorValues CurrentValues() const;
  void SetSwitch(int tag, bool on);
  void SetSwatch(QPushButton* swatch, std::int32_t colour);
  void OnSwatchClicked(QPushButton* swatch);
  void OnBoxEdited(int box);
  void SetTile(QPushButton* button, int tile);
  void OnNewStyle();

  const Config& config_;
  UserDialogs& dialogs_;
  TemplateGridWidget& templates_;
  const TextureList& textures_;
  StyleEditorHooks hooks_;
  FrameStyle working_;
  // What the editor was opened on: untouched boxes give these stored values back unchanged.
  StyleEditorValues opened_;
  bool loading_ = false;

  QStackedWidget* pages_ = nullptr;
  QList<QFrame*> panels_;
  QList<QCheckBox*> switches_;  // per page tag; null for Blend
  QCheckBox* frame_include_ = nullptr;
  QCheckBox* scale_ = nullptr;
  QList<QLineEdit*> boxes_;  // in StyleEditorBoxes order
  QList<QSlider*> bars_;
  QList<QPushButton*> swatches_;  // Color, Line, Frame, Stroke, Shadow, Back
  QRadioButton* frame_colour_radio_ = nullptr;
  QRadioButton* frame_texture_radio_ = nullptr;
  QRadioButton* back_colour_radio_ = nullptr;
  QRadioButton* back_texture_radio_ = nullptr;
  QWidget* frame_text_size_ = nullptr;
  QWidget* back_text_size_ = nullptr;
  QPushButton* frame_text_ = nullptr;
  QPushButton* back_text_ = nullptr;
  QList<QPushButton*> shapes_;
  QComboBox* shape_combo_ = nullptr;
  QLabel* problem_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* cancel_ = nullptr;
  QPushButton* new_style_button_ = nullptr;
  QPushButton* preview_button_ = nullptr;
  TexturePickerWidget* picker_ = nullptr;
  NewStyleDialog* new_style_ = nullptr;
};
