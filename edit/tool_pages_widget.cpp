// Layout of the editing tool pages.
#include "edit/tool_pages_widget.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QSpinBox>

#include "widgets/flat_button_widget.h"

namespace {

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, const QString& hint,
                    QRect rect, const QString& glyph = QString()) {
  return AddFlatButton(parent, QLatin1String(name), caption, hint, rect, glyph);
}

QComboBox* ColourBox(QWidget* parent, const char* name, QRect rect) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QLatin1String(name));
  box->setGeometry(rect);
  const char* const kColours[] = {"Black",  "Maroon", "Green", "Olive",  "Navy", "Purple",  "Teal", "Gray",
                                  "Silver", "Red",    "Lime",  "Yellow", "Blue", "Fuchsia", "Aqua", "White"};
  for (const char* colour : kColours)
    box->addItem(QLatin1String(colour), QColor(QString::fromLatin1(colour).toLower()));
  box->setCurrentIndex(0);
  return box;
}

}  // namespace

ToolPagesWidget::ToolPagesWidget(QWidget* parent) : QStackedWidget(parent) {
  setObjectName(QStringLiteral("PageControl4"));
  BuildLayout();
}

void ToolPagesWidget::BuildLayout() {
  addWidget(BuildAdjustPage());
  addWidget(BuildTextPage());
  setCurrentIndex(0);
}

QWidget* ToolPagesWidget::BuildAdjustPage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("AdjustSheet"));
  auto* panel = new QWidget(page);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setGeometry(0, 0, 344, 136);
  Button(panel, "FlatButton13", QStringLiteral("<=>"), QStringLiteral("Filp Horizontal"),
         QRect(12, 14, 44, 27), QStringLiteral("mirror"));
  Button(panel, "FlatButton16", QStringLiteral("<="), QStringLiteral("Rotate 90 CW"), QRect(60, 14, 44, 27),
         QStringLiteral("turn_left"));
  Button(panel, "FlatButton14", QStringLiteral("=>"), QStringLiteral("Rotate 90 CWW"), QRect(108, 14, 44, 27),
         QStringLiteral("turn_right"));
  Button(panel, "FlatButton28", QStringLiteral("#"), QStringLiteral("Resize"), QRect(12, 52, 44, 27),
         QStringLiteral("resize"));
  Button(panel, "FlatButton15", QStringLiteral("[ ]"), QStringLiteral("Crop"), QRect(60, 52, 44, 27),
         QStringLiteral("crop"));
  Button(panel, "FlatButton20", QStringLiteral("A"), QStringLiteral("Add Text"), QRect(108, 52, 44, 27),
         QStringLiteral("text"));
  Button(panel, "Batch", QStringLiteral("Add Batch"), QStringLiteral("Add Batch to save"),
         QRect(12, 98, 320, 28), QStringLiteral("batch"));

  auto* knobs = new QWidget(panel);
  knobs->setObjectName(QStringLiteral("Panel9"));
  knobs->setGeometry(190, 10, 105, 81);
  // Tracks first, so the knobs lie over them.
  Button(knobs, "FlatButton23", QString(), QStringLiteral("Brightness"), QRect(0, 11, 97, 5));
  Button(knobs, "FlatButton24", QString(), QStringLiteral("Contrast"), QRect(0, 35, 97, 5));
  Button(knobs, "FlatButton22", QString(), QStringLiteral("Hue"), QRect(0, 59, 97, 5));
  knobs_[1] =
      Button(knobs, "B2", QStringLiteral("B"), QStringLiteral("Brightness"), QRect(kKnobStart, 6, 17, 16));
  knobs_[0] =
      Button(knobs, "B1", QStringLiteral("C"), QStringLiteral("Contrast"), QRect(kKnobStart, 30, 17, 16));
  knobs_[2] = Button(knobs, "B3", QStringLiteral("H"), QStringLiteral("Hue"), QRect(kKnobStart, 53, 17, 16));
  return page;
}

QWidget* ToolPagesWidget::BuildTextPage() {
  auto* page = new QWidget(this);
  page->setObjectName(QStringLiteral("TabSheet8"));
  auto* fonts = new QComboBox(page);
  fonts->setObjectName(QStringLiteral("ComboBox1"));
  fonts->setGeometry(12, 10, 170, 24);
  fonts->addItems(QFontDatabase::families());
  if (fonts->count() > 1) fonts->setCurrentIndex(1);
  auto* size = new QSpinBox(page);
  size->setObjectName(QStringLiteral("Edit1"));
  size->setGeometry(188, 10, 50, 24);
  size->setRange(-9999, 9999);  // the design sets no limits
  size->setValue(24);
  QPushButton* bold = Button(page, "B", QStringLiteral("B"), QString(), QRect(244, 10, 26, 24));
  bold->setCheckable(true);
  QPushButton* italic = Button(page, "I", QStringLiteral("I"), QString(), QRect(274, 10, 26, 24));
  italic->setCheckable(true);
  auto* memo = new QPlainTextEdit(page);
  memo->setObjectName(QStringLiteral("Memo1"));
  memo->setGeometry(12, 40, 226, 86);
  ColourBox(page, "FC", QRect(244, 40, 88, 24));
  ColourBox(page, "BC", QRect(244, 70, 88, 24));
  Button(page, "FlatButton19", QStringLiteral("OK"), QString(), QRect(244, 100, 88, 26));
  return page;
}

void ToolPagesWidget::ResetToneKnobs() {
  for (QPushButton* knob : knobs_) knob->move(kKnobStart, knob->y());
}

std::array<int, 3> ToolPagesWidget::KnobPositions() const {
  return {knobs_[0]->x(), knobs_[1]->x(), knobs_[2]->x()};
}
