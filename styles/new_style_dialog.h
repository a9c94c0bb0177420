// The new style dialog `TStyleForm`: stores the style editor's working style as a new template
// of the current category under a name the user types.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "base/config.h"
#include "base/user_dialogs.h"
#include "styles/frame_style.h"

class TemplateGridWidget;

class NewStyleDialog : public QDialog {
  Q_OBJECT

 public:
  // render_thumbnail makes the 70 x 70 picture of a style; set_template_path makes a picture
  // path the current template's.
  NewStyleDialog(const Config& config, UserDialogs& dialogs, TemplateGridWidget& templates,
                 std::function<QImage(const FrameStyle&)> render_thumbnail,
                 std::function<void(const QString&)> set_template_path, QWidget* parent);

  // Takes the style to store and shows the dialog modally; the name typed last is kept.
  void Ask(const FrameStyle& style);
  // Stages the style without showing the dialog.
  void SetStyle(const FrameStyle& style) { style_ = style; }

  // OK: checks the name, writes the settings file and its picture into the current category's
  // folder, appends the template as the last one, selects it and shows its page; closes.
  void Ok();

 private:
  void BuildLayout();

  const Config& config_;
  UserDialogs& dialogs_;
  TemplateGridWidget& templates_;
  std::function<QImage(const FrameStyle&)> render_thumbnail_;
  std::function<void(const QString&)> set_template_path_;
  FrameStyle style_;
  QLineEdit* name_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;
};
