// Template grid commands.
#include "styles/template_grid_widget.h"

#include "base/guarded_call.h"
#include "styles/template_library.h"

namespace {

ThumbnailGridLayout TemplateGridLayout() {
  ThumbnailGridLayout layout;
  layout.area = QRect(46, 353, 366, 219);
  layout.cells = {QPoint(51, 380), QPoint(134, 380), QPoint(218, 380), QPoint(302, 380),
                  QPoint(51, 458), QPoint(134, 458), QPoint(218, 458), QPoint(302, 458)};
  layout.first_cell_number = 51;
  layout.hover_frame = QStringLiteral("Back22");
  layout.selection_frame = QStringLiteral("Back2");
  layout.counter = QStringLiteral("Label9");
  layout.counter_rect = QRect(306, 356, 96, 17);
  layout.panel = QStringLiteral("Panel4");
  layout.panel_rect = QRect(46, 360, 363, 173);
  layout.list_view = QStringLiteral("ListView2");
  layout.path_list = QStringLiteral("ListBox2");
  layout.name_label = QStringLiteral("Label6");
  layout.info_label = QStringLiteral("Label7");
  layout.scroll_names = {QStringLiteral("FlatButton18"), QStringLiteral("FlatButton21"),
                         QStringLiteral("Timer5"), QStringLiteral("Timer6")};
  layout.multiple_selection_in_list = false;
  return layout;
}

}  // namespace

TemplateGridWidget::TemplateGridWidget(const Config& config, UserDialogs& dialogs,
                                       const ThumbnailCache& cache, QWidget* parent)
    : ThumbnailGridWidget(TemplateGridLayout(), cache, parent), config_(config), dialogs_(dialogs) {
  BuildLayout();
  Wire();
}

void TemplateGridWidget::BuildLayout() {
  open_ =
      AddButton(QStringLiteral("Button23"), QStringLiteral("Open"), QStringLiteral("Open Template directory"),
                QRect(51, 541, 44, 27), QStringLiteral("open"));
  delete_ = AddButton(QStringLiteral("FlatButton11"), QStringLiteral("Delete"), QString(),
                      QRect(111, 541, 44, 27), QStringLiteral("delete"));
  edit_ = AddButton(QStringLiteral("FlatButton27"), QStringLiteral("Edit"), QString(),
                    QRect(168, 541, 44, 27), QStringLiteral("edit"));
  up_ = AddButton(QStringLiteral("FlatButton9"), QStringLiteral("Up"), QString(), QRect(224, 541, 44, 27),
                  QStringLiteral("up"));
  down_ = AddButton(QStringLiteral("FlatButton8"), QStringLiteral("Down"), QString(), QRect(280, 541, 44, 27),
                    QStringLiteral("down"));
  view_ = AddButton(QStringLiteral("TemplateViewButton"), QStringLiteral("View"), QString(),
                    QRect(336, 541, 44, 27), QStringLiteral("view"));

  menu_ = new QMenu(this);
  menu_->setObjectName(QStringLiteral("PopupMenu1"));
  const char* const kCaptions[] = {"Texture", "Color", "Cool"};
  for (int tag = 1; tag <= 3; ++tag) {
    QAction* item = menu_->addAction(QLatin1String(kCaptions[tag - 1]));
    item->setObjectName(QStringLiteral("Class%1").arg(tag));
    item->setData(tag);
  }
}

void TemplateGridWidget::Wire() {
  connect(open_, &QPushButton::clicked, this,
          [this] { menu_->popup(open_->mapToGlobal(QPoint(open_->width(), 0))); });
  connect(menu_, &QMenu::triggered, this, [this](QAction* item) {
    RunGuarded(dialogs_, [&] { ChooseCategory(static_cast<TemplateCategory>(item->data().toInt())); });
  });
  connect(delete_, &QPushButton::clicked, this, [this] { RunGuarded(dialogs_, [this] { Delete(); }); });
  connect(edit_, &QPushButton::clicked, this, &TemplateGridWidget::EditRequested);
  connect(up_, &QPushButton::clicked, this, [this] { RunGuarded(dialogs_, [this] { StepUp(); }); });
  connect(down_, &QPushButton::clicked, this, [this] { RunGuarded(dialogs_, [this] { StepDown(); }); });
  connect(view_, &QPushButton::clicked, this, [this] {
    ToggleView();
    view_->setProperty("tag", IsListView() ? 1 : 0);
  });
}

void TemplateGridWidget::ScanCategory(TemplateCategory category) {
  SetRows(ScanTemplateFolder(config_.TemplateFolder(category)));
}

void TemplateGridWidget::SelectTemplateCategory(TemplateCategory category) {
  ScanCategory(category);
  ClearCellPaths();
  HideSelectionFrame();
  if (Count() == 0) dialogs_.ShowNotice(QStringLiteral("No Image"));
  DrawPage();
}

void TemplateGridWidget::ChooseCategory(TemplateCategory category) {
  SetPage(0);
  SelectTemplateCategory(category);
  category_ = category;
}

void TemplateGridWidget::Delete() {
  if (SelectedIndex() < 0) return;
  if (!dialogs_.AskYesNo(QStringLiteral("Are you sure you want to delete it?"))) return;
  const QList<int> rows = SelectedRows();
  QString refused;  // the first refusal is said once the grid shows what is left
  for (auto row = rows.crbegin(); row != rows.crend(); ++row) {
    try {
      DeleteTemplateFiles(Rows()[*row].path);
    } catch (const LumistoError& e) {
      if (refused.isEmpty()) refused = e.Message();
    }
    SetSelectedIndex(-1);
  }
  SelectTemplateCategory(category_);
  if (!refused.isEmpty()) throw LumistoError(refused);
}
