// The toolbar strip.
#include "app/toolbar_widget.h"

#include <QFile>

#include "widgets/skin_art.h"
#include "widgets/skin_colours.h"

ToolbarWidget::ToolbarWidget(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("ScrollBox2"));
  setGeometry(62, 52, 696, 57);
  setAutoFillBackground(true);
  QPalette strip = palette();
  strip.setColor(QPalette::Window, QColor(kSkinStrip));
  setPalette(strip);
  BuildLayout();
  Wire();
}

QToolButton* ToolbarWidget::AddButton(const char* name, const char* glyph, const QString& hint, int x) {
  auto* button = new QToolButton(this);
  button->setObjectName(QLatin1String(name));
  button->setGeometry(x, 3, kGlyphSize.width(), kGlyphSize.height());
  const QString resource = QStringLiteral(":/skin/glyph_%1.png").arg(QLatin1String(glyph));
  // The resource path lets the icon pick the @2x artwork on dense screens.
  button->setIcon(QFile::exists(resource) ? QIcon(resource)
                                          : QIcon(QPixmap::fromImage(ToolbarGlyph(QLatin1String(glyph)))));
  button->setIconSize(kGlyphSize);
  button->setToolTip(hint);
  button->setAutoRaise(true);
  return button;
}

void ToolbarWidget::BuildLayout() {
  system_ = AddButton("SystemButton", "system", QStringLiteral("System"), 9);
  email_ = AddButton("EmailButton", "mail", QStringLiteral("Mailto..."), 179);
  save_ = AddButton("SaveButton", "save", QStringLiteral("Save file"), 443);
  print_ = AddButton("PrintButton", "print", QStringLiteral("Print this"), 602);

  system_menu_ = new QMenu(this);
  system_menu_->setObjectName(QStringLiteral("SystemMenu"));
  const auto add_page = [this](const QString& caption, const QString& page) {
    QAction* item = system_menu_->addAction(caption);
    item->setData(page);
    return item;
  };
  add_page(QStringLiteral("Submit My Question"), QStringLiteral("questions.html"));
  system_menu_->addSeparator();
  add_page(QStringLiteral("Help Contents"), QStringLiteral("index.html"));
  add_page(QStringLiteral("Demo Video"), QStringLiteral("tour.html"));
  system_menu_->addSeparator();
  add_page(QStringLiteral("Home Page"), QStringLiteral("index.html"));

  print_menu_ = new QMenu(this);
  print_menu_->setObjectName(QStringLiteral("PrintMenu"));
  print_menu_->addSeparator();
  print_action_ = print_menu_->addAction(QStringLiteral("Print..."));
  print_action_->setObjectName(QStringLiteral("Print1"));
  print_setup_action_ = print_menu_->addAction(QStringLiteral("Print setup"));
  print_setup_action_->setObjectName(QStringLiteral("Printsetup1"));
  print_menu_->addSeparator();

  SetOutputButtonsVisible(false);
}

void ToolbarWidget::Wire() {
  // Menus open with their top-left corner at the button's top-right corner.
  connect(system_, &QToolButton::clicked, this,
          [this] { system_menu_->popup(system_->mapToGlobal(QPoint(system_->width(), 0))); });
  connect(print_, &QToolButton::clicked, this,
          [this] { print_menu_->popup(print_->mapToGlobal(QPoint(print_->width(), 0))); });
  connect(system_menu_, &QMenu::triggered, this,
          [this](QAction* item) { Q_EMIT ManualRequested(item->data().toString()); });
  connect(save_, &QToolButton::clicked, this, &ToolbarWidget::SaveRequested);
  connect(email_, &QToolButton::clicked, this, &ToolbarWidget::EmailRequested);
  connect(print_action_, &QAction::triggered, this, &ToolbarWidget::PrintRequested);
  connect(print_setup_action_, &QAction::triggered, this, &ToolbarWidget::PrintSetupRequested);
}

void ToolbarWidget::SetOutputButtonsVisible(bool visible) {
  email_->setVisible(visible);
  save_->setVisible(visible);
  print_->setVisible(visible);
}

bool ToolbarWidget::OutputButtonsVisible() const { return !save_->isHidden(); }
