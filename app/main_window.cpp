// Main window: start-up in the order of its creation steps, and the two choices that end in the preview.
#include "app/main_window.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPushButton>
#include <QUrl>

#include "app/preview_widget.h"
#include "app/title_bar_widget.h"
#include "app/toolbar_widget.h"
#include "app/window_shape.h"
#include "base/guarded_call.h"
#include "base/lumisto_error.h"
#include "batch/batch_page_widget.h"
#include "edit/geometric_edits.h"
#include "edit/screen_drag.h"
#include "edit/size_dialog.h"
#include "edit/tool_pages_widget.h"
#include "imaging/image_io.h"
#include "output/output_commands.h"
#include "sources/photo_grid_widget.h"
#include "styles/template_grid_widget.h"
#include "widgets/grid_paging.h"
#include "widgets/skin_art.h"

// Outside any namespace, as the resource system wants; the skin lives in the widget library.
static void InitSkinResources() { Q_INIT_RESOURCE(skin); }

namespace {

// The flat look of every button outside the toolbar, and of the labels over the skin.
const char* const kFlatLook = R"(
QPushButton {
  background-color: rgb(190, 230, 150);
  color: rgb(0, 155, 0);
  border: 1px solid rgb(150, 208, 96);
  border-top-color: rgb(214, 239, 188);
  border-left-color: rgb(214, 239, 188);
  border-bottom-color: rgb(118, 187, 55);
  border-right-color: rgb(118, 187, 55);
  font-family: "MS Sans Serif", sans-serif;
  font-size: 11px;
}
QPushButton:focus { background-color: rgb(217, 240, 193); }
QPushButton:pressed, QPushButton:checked { background-color: yellow; }
QLabel { color: rgb(0, 155, 0); background: transparent; }
#ScrollBox2 QToolButton {
  background-color: rgb(248, 245, 213);
  border: 1px solid rgb(248, 245, 213);
  color: rgb(113, 179, 53);
}
)";

}  // namespace

MainWindow::MainWindow(const Config& config, UserDialogs& dialogs, const ThumbnailCache& cache,
                       int fade_interval_ms, const QString& temp_root)
    : QWidget(nullptr, Qt::FramelessWindowHint),
      config_(config),
      dialogs_(dialogs),
      cache_(cache),
      fade_interval_ms_(fade_interval_ms),
      output_(std::make_unique<OutputCommands>(config, dialogs, state_.textures,
                                               temp_root.isEmpty() ? QDir::tempPath() : temp_root)) {
  static const bool kResourcesReady = (InitSkinResources(), true);
  Q_UNUSED(kResourcesReady);
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(QStringLiteral("Lumisto"));
  // The style record and the blank working images were made with state_; the skin comes next.
  skin_ = SkinBackground(devicePixelRatioF());
  BuildLayout();
  // The flat look belongs to the window's own areas and dialogs; message boxes and the folder
  // picker, which are parented to the window too, keep the desktop's look.
  for (QWidget* area :
       std::initializer_list<QWidget*>{title_, toolbar_, photos_, templates_, pages_, size_dialog_})
    area->setStyleSheet(QLatin1String(kFlatLook));
  // The window takes the silhouette of the shape bitmap.
  const QImage shape = SkinShape();
  auto* shape_image = new QLabel(this);
  shape_image->setObjectName(QStringLiteral("Image11"));
  shape_image->setPixmap(QPixmap::fromImage(shape));
  shape_image->hide();
  setMask(ShapeRegion(shape));
  tools_->setCurrentIndex(0);
  pages_->setCurrentIndex(kSinglPage);
  setFixedSize(skin_.deviceIndependentSize().toSize());
  Wire();
  LoadStartFolders();
}

MainWindow::~MainWindow() = default;

void MainWindow::BuildLayout() {
  photos_ = new PhotoGridWidget(config_, dialogs_, cache_, this);
  templates_ = new TemplateGridWidget(config_, dialogs_, cache_, this);

  pages_ = new QStackedWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl3"));
  pages_->setGeometry(405, 89, 377, 497);
  // Only commands switch pages; the clip keeps the pages off the toolbar strip above them.
  pages_->setMask(QRegion(5, 21, 365, 468));
  auto* singl = new QWidget(pages_);
  singl->setObjectName(QStringLiteral("SinglPage"));
  preview_ = new PreviewWidget(singl, fade_interval_ms_);
  preview_->move(25, 21);  // the preview at (430, 110) of the window
  tools_ = new ToolPagesWidget(singl);
  tools_->setGeometry(17, 347, 344, 136);  // the tool tray at (422, 436)
  pages_->addWidget(singl);
  batch_ = new BatchPageWidget(pages_);
  pages_->addWidget(batch_);

  title_ = new TitleBarWidget(this);
  toolbar_ = new ToolbarWidget(this);

  // The Dir page's count label; the camera pages that hold it are never shown.
  photo_count_ = new QLabel(this);
  photo_count_->setObjectName(QStringLiteral("Label1"));
  photo_count_->hide();

  size_dialog_ = new SizeDialog(dialogs_, this);
}

template <typename Handler>
void MainWindow::Guarded(Handler&& handler) {
  RunGuarded(dialogs_, std::forward<Handler>(handler));
}

void MainWindow::Wire() {
  connect(photos_, &PhotoGridWidget::Chosen, this,
          [this](int index, ChoiceSource source) { Guarded([&] { OnPhotoChosen(index, source); }); });
  connect(photos_, &PhotoGridWidget::PhotoCountChanged, photo_count_, qOverload<int>(&QLabel::setNum));
  connect(templates_, &TemplateGridWidget::Chosen, this,
          [this](int index, ChoiceSource) { Guarded([&] { OnTemplateChosen(index); }); });
  connect(templates_, &TemplateGridWidget::EmptyCellClicked, preview_, &PreviewWidget::HideStartPicture);
  connect(preview_, &PreviewWidget::ScreenPressed, this, &MainWindow::OnScreenPressed);
  connect(preview_, &PreviewWidget::ScreenMoved, this, &MainWindow::OnScreenMoved);
  connect(title_, &TitleBarWidget::HelpClicked, this, [this] { OpenDocument(QStringLiteral("Help.chm")); });
  connect(title_, &TitleBarWidget::MinimiseClicked, this, &QWidget::showMinimized);
  connect(title_, &TitleBarWidget::CloseClicked, this, &QWidget::close);
  connect(toolbar_, &ToolbarWidget::HelpRequested, this,
          [this] { OpenDocument(QStringLiteral("Help.chm")); });
  connect(toolbar_, &ToolbarWidget::DemoRequested, this,
          [this] { OpenDocument(QStringLiteral("video.htm")); });
  // On the Batch page Save belongs to the batch entries.
  connect(toolbar_, &ToolbarWidget::SaveRequested, this, [this] {
    if (pages_->currentIndex() == kSinglPage) Guarded([&] { output_->Save(state_.edit, state_.style); });
  });
  connect(toolbar_, &ToolbarWidget::PrintRequested, this,
          [this] { Guarded([&] { output_->Print(state_.edit, state_.style); }); });
  connect(toolbar_, &ToolbarWidget::PrintSetupRequested, this,
          [this] { Guarded([&] { output_->PrintSetup(); }); });
  connect(toolbar_, &ToolbarWidget::EmailRequested, this,
          [this] { Guarded([&] { output_->Email(state_.edit, state_.style); }); });
  const std::pair<const char*, GeometricEdit> edits[] = {
      {"FlatButton13", GeometricEdit::Mirror},
      {"FlatButton16", GeometricEdit::TurnCounterClockwise},
      {"FlatButton14", GeometricEdit::TurnClockwise}};
  for (const auto& [name, code] : edits)
    connect(tools_->findChild<QPushButton*>(QLatin1String(name)), &QPushButton::clicked, this,
            [this, code = code] { Guarded([&] { OnGeometricEdit(code); }); });
  connect(tools_->findChild<QPushButton*>(QStringLiteral("FlatButton28")), &QPushButton::clicked, this,
          [this] { Guarded([&] { OnResize(); }); });
}

void MainWindow::LoadStartFolders() {
  // A missing or empty folder leaves its grid empty without a word at start.
  photos_->ScanFolder(config_.PhotoFolder());
  templates_->ScanCategory(TemplateCategory::Texture);
  photos_->SetPage(0);
  templates_->SetPage(0);
  if (photos_->Count() > 0) {
    photos_->ClearCellPaths();
    photos_->HideSelectionFrame();
    photos_->DrawPage();
  }
  if (templates_->Count() > 0) templates_->DrawPage();
}

void MainWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), skin_);
}

void MainWindow::RefreshPreview() {
  preview_->ShowOnScreen(RenderPreviewComposite(state_), state_.display_mode, state_.caption_layer);
}

void MainWindow::ShowOutputButtonsWhenReady() {
  if (pages_->currentIndex() == kSinglPage && photos_->SelectedIndex() >= 0 &&
      templates_->SelectedIndex() >= 0)
    toolbar_->SetOutputButtonsVisible(true);
}

void MainWindow::OpenVisit(const OpenRequest& request) {
  photos_->ScanFolder(request.folder);
  photos_->HideSelectionFrame();
  photo_count_->setNum(photos_->Count());
  QList<int> rows;
  for (const QString& photo : request.photos)
    if (const int row = photos_->IndexOfPath(photo); row >= 0) rows.append(row);
  photos_->SetPage(rows.isEmpty() ? 0 : rows.first() / kCellsPerPage);
  photos_->ClearCellPaths();
  photos_->DrawPage();
  if (rows.size() == 1) {
    photos_->SetSelectedIndex(rows.first());
    Guarded([&] { OnPhotoChosen(rows.first(), ChoiceSource::List); });
  } else if (rows.size() > 1) {
    if (!photos_->IsListView()) photos_->ToggleView();
    photos_->SelectRows(rows);
  }
}

void MainWindow::OnPhotoChosen(int index, ChoiceSource source) {
  const QString path = photos_->Rows()[index].path;
  // The file is decoded before anything changes: a photo that cannot be read is not taken, and
  // the preview, the edit state and the current photo stay as they were.
  if (!LoadPhotoIntoState(state_, path)) {
    photos_->SetSelectedIndex(photos_->IndexOfPath(state_.edit.photo_path));
    photos_->HideSelectionFrame();
    dialogs_.ShowNotice(QStringLiteral("Unable to read %1").arg(QFileInfo(path).fileName()));
    return;
  }
  if (source == ChoiceSource::Cell) tools_->ResetToneKnobs();
  ShowOutputButtonsWhenReady();
  preview_->HideStartPicture();
  preview_->StopFade();
  photos_->ShowChosenCounter(index);
  RefreshPreview();
}

void MainWindow::OnTemplateChosen(int index) {
  // On the Batch page a template belongs to the selected batch entries, not to the preview.
  if (pages_->currentIndex() != kSinglPage) return;
  const QString path = templates_->Rows()[index].path;
  ShowOutputButtonsWhenReady();
  preview_->StopFade();
  preview_->HideStartPicture();
  templates_->ShowChosenCounter(index);
  if (ApplyTemplate(state_, path) == TemplateOutcome::NoSettingsFile) {
    dialogs_.ShowNotice(QStringLiteral("no file"));
    return;
  }
  RefreshPreview();
}

void MainWindow::OnGeometricEdit(GeometricEdit code) {
  // Nothing to turn while no photo is loaded.
  if (preview_->StartPictureVisible()) return;
  // Turn the working photo first: when its copy cannot be made, nothing is recorded.
  if (!RotateFlip(state_.working_photo, RotateFlipOf(code)))
    throw LumistoError(QStringLiteral("Not enough memory to turn the photo"));
  ApplyGeometricEdit(state_.edit, code);
  RefreshPreview();
}

void MainWindow::OnResize() {
  if (preview_->StartPictureVisible()) return;
  size_dialog_->Prepare(state_.edit.photo_width, state_.edit.photo_height);
  if (size_dialog_->exec() != QDialog::Accepted) return;
  state_.edit.output_width = size_dialog_->ChosenSize().width();
  state_.edit.output_height = size_dialog_->ChosenSize().height();
}

void MainWindow::OnScreenPressed(QPoint pos, Qt::MouseButtons buttons) {
  preview_->StopFade();
  ScreenMouseDown(state_.edit, state_.display_mode, pos, buttons);
}

void MainWindow::OnScreenMoved(QPoint pos, Qt::MouseButtons buttons) {
  // The framed preview ignores the photo offset; the live display shows it on its next frame.
  ScreenMouseMove(state_.edit, state_.display_mode, pos, buttons);
}

void MainWindow::OpenDocument(const QString& file_name) {
  const QString path = config_.AppFolder() + u'/' + file_name;
  if (QFileInfo::exists(path)) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
