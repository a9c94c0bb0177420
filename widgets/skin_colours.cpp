// The window's style sheet, written from the named skin colours.
#include "widgets/skin_colours.h"

namespace {

QString Css(QRgb colour) {
  return QStringLiteral("rgb(%1, %2, %3)").arg(qRed(colour)).arg(qGreen(colour)).arg(qBlue(colour));
}

}  // namespace

QString SkinStyleSheet() {
  QString sheet = QStringLiteral(R"(
QPushButton {
  background-color: @face;
  color: @caption;
  border: 1px solid @border;
  border-top-color: @highlight;
  border-left-color: @highlight;
  border-bottom-color: @shadow;
  border-right-color: @shadow;
  font-family: "MS Sans Serif", sans-serif;
  font-size: 11px;
}
QPushButton:focus { background-color: @focused; border-style: dotted; border-color: @caption; }
QPushButton:pressed, QPushButton:checked { background-color: yellow; }
QLabel { color: @caption; background: transparent; }
QTreeView, QListView {
  background-color: white;
  color: @listtext;
  border: 1px solid @border;
  outline: 0;
  selection-background-color: @face;
  selection-color: @selectedtext;
}
QTreeView::item:selected, QListView::item:selected { background-color: @face; color: @selectedtext; }
QTreeView::item:hover, QListView::item:hover { background-color: @hover; }
QMenu {
  background-color: @strip;
  color: @menutext;
  border: 1px solid @border;
  padding: 2px;
}
QMenu::item { padding: 4px 22px 4px 14px; background: transparent; }
QMenu::item:selected { background-color: @face; color: @selectedtext; }
QMenu::item:disabled { color: @disabled; }
QMenu::separator { height: 1px; background: @border; margin: 3px 8px; }
QDialog, QMessageBox { background-color: @strip; }
QDialog QCheckBox, QDialog QRadioButton { color: @caption; background: transparent; spacing: 4px; }
QDialog QCheckBox::indicator, QDialog QRadioButton::indicator {
  width: 11px;
  height: 11px;
  background-color: white;
  border: 1px solid @shadow;
}
QDialog QRadioButton::indicator { border-radius: 6px; }
QDialog QCheckBox::indicator:checked, QDialog QRadioButton::indicator:checked { background-color: @caption; }
QDialog QCheckBox::indicator:disabled, QDialog QRadioButton::indicator:disabled { background-color: @strip; }
QDialog QCheckBox:disabled, QDialog QRadioButton:disabled, QDialog QLabel:disabled { color: @disabled; }
QDialog QGroupBox {
  color: @caption;
  border: 1px solid @border;
  margin-top: 7px;
}
QDialog QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0 2px; }
QDialog QGroupBox:disabled { color: @disabled; }
QDialog QLineEdit {
  background-color: white;
  color: @listtext;
  border: 1px solid @border;
  selection-background-color: @face;
  selection-color: @selectedtext;
}
QDialog QLineEdit:disabled { background-color: @strip; color: @disabled; }
QDialog QPushButton:disabled { color: @disabled; }
QProgressBar {
  background-color: white;
  border: 1px solid @border;
  color: @selectedtext;
  text-align: center;
}
QProgressBar::chunk { background-color: @face; }
QFrame[effectpanel="true"] { background-color: @face; border: 1px solid @border; }
QFrame[effectpanel="true"][highlighted="true"] { background-color: @caption; }
QFrame[effectpanel="true"] QCheckBox, QFrame[effectpanel="true"] QLabel { font-size: 10px; }
QFrame[highlighted="true"] QCheckBox, QFrame[highlighted="true"] QLabel { color: white; }
QFrame[highlighted="true"] QCheckBox::indicator:checked { background-color: @face; }
#ScrollBox2 QToolButton {
  background-color: @strip;
  border: 1px solid @strip;
  color: @stripcaption;
}
#ScrollBox2 QToolButton:focus { border: 1px dotted @stripcaption; }
)");
  // Longer names first, so that no name is replaced inside another.
  const std::pair<const char*, QRgb> names[] = {{"@selectedtext", kSkinSelectedText},
                                                {"@stripcaption", kSkinStripCaption},
                                                {"@highlight", kSkinHighlight},
                                                {"@listtext", kSkinListText},
                                                {"@menutext", kSkinMenuText},
                                                {"@disabled", kSkinDisabledText},
                                                {"@focused", kSkinFocusedFace},
                                                {"@caption", kSkinCaption},
                                                {"@border", kSkinBorder},
                                                {"@shadow", kSkinShadow},
                                                {"@strip", kSkinStrip},
                                                {"@hover", kSkinHover},
                                                {"@face", kSkinFace}};
  for (const auto& [name, colour] : names) sheet.replace(QLatin1String(name), Css(colour));
  return sheet;
}
