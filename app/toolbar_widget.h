// The toolbar strip `ScrollBox2`: the System, e-mail, Save and Print buttons with their menus.
#pragma once

#include <QMenu>
#include <QToolButton>
#include <QWidget>

class ToolbarWidget : public QWidget {
  Q_OBJECT

 public:
  explicit ToolbarWidget(QWidget* parent);

  // The e-mail, Save and Print buttons: hidden until there is something to deliver.
  void SetOutputButtonsVisible(bool visible);
  bool OutputButtonsVisible() const;

  QMenu* SystemMenu() const { return system_menu_; }
  QMenu* PrintMenu() const { return print_menu_; }

 Q_SIGNALS:
  // A page of the shipped manual: "index.html" for Help Contents and Home Page, "tour.html" for
  // Demo Video, "questions.html" for Submit My Question.
  void ManualRequested(const QString& page);
  void SaveRequested();
  void PrintRequested();
  void PrintSetupRequested();
  void EmailRequested();

 private:
  void BuildLayout();
  void Wire();
  QToolButton* AddButton(const char* name, const char* glyph, const QString& hint, int x);

  QToolButton* system_ = nullptr;
  QToolButton* email_ = nullptr;
  QToolButton* save_ = nullptr;
  QToolButton* print_ = nullptr;
  QMenu* system_menu_ = nullptr;
  QMenu* print_menu_ = nullptr;
  QAction* print_action_ = nullptr;
  QAction* print_setup_action_ = nullptr;
};
