// Main window: start-up in the order of its creation steps, and the two choices that end in the preview.
#include "app/main_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <numeric>

#include "app/preview_widget.h"
#include "app/start_folders.h"
#include "app/title_bar_widget.h"
#include "app/toolbar_widget.h"
#include "app/window_shape.h"
#include "base/guarded_call.h"
#include "base/lumisto_error.h"
#include "batch/batch_job_file.h"
#include "batch/batch_page_widget.h"
#include "batch/batch_progress_dialog.h"
#include "batch/batch_save.h"
#include "browse/grid_paging.h"
#include "compose/render_composite.h"
#include "compose/style_thumbnail.h"
#include "edit/caption_layer.h"
#include "edit/crop_dialog.h"
#include "edit/crop_photo.h"
#include "edit/geometric_edits.h"
#include "edit/screen_drag.h"
#include "edit/size_dialog.h"
#include "edit/tone_knobs.h"
#include "edit/tool_pages_widget.h"
#include "imaging/image_io.h"
#include "output/output_commands.h"
#include "sources/photo_file_watch.h"
#include "sources/photo_grid_widget.h"
#include "styles/style_editor_dialog.h"
#include "styles/template_grid_widget.h"
#include "styles/template_library.h"
#include "widgets/skin_art.h"
#include "widgets/skin_colours.h"

// The skin's pictures are compiled into the widget library, which registers nothing by itself: a
// start-up step registers them as the application object is made, before any window asks for them.
// Outside any namespace, as the resource system wants.
static void RegisterSkinResources() { Q_INIT_RESOURCE(skin); }
Q_COREAPP_STARTUP_FUNCTION(RegisterSkinResources)

MainWindow::MainWindow(const Config& config, UserDialogs& dialogs, const ThumbnailCache& cache,
                       int fade_interval_ms, const QString& temp_root)
    : QWidget(nullptr, Qt::FramelessWindowHint),
      config_(config),
      dialogs_(dialogs),
      cache_(cache),
      fade_interval_ms_(fade_interval_ms),
      output_(std::make_unique<OutputCommands>(config, dialogs, state_.textures,
                                               temp_root.isEmpty() ? QDir::tempPath() : temp_root)) {
  setObjectName(QStringLiteral("TForm1"));
  setWindowTitle(QStringLiteral("Lumisto"));
  // The style record and the blank working images were made with state_; the skin comes next.
  skin_ = SkinBackground(devicePixelRatioF());
  BuildLayout();
  // One style sheet from the skin's colours for the window and every dialog it opens (the style
  // editor, the size and crop dialogs, the batch dialogs, the message boxes), all parented to it.
  setStyleSheet(SkinStyleSheet());
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
  setAcceptDrops(true);
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
  tools_ = new ToolPagesWidget(
      singl, [this] { return !preview_->StartPictureVisible(); }, &dialogs_);
  tools_->setGeometry(17, 347, 344, 136);  // the tool tray at (422, 436)
  pages_->addWidget(singl);
  batch_ = new BatchPageWidget(state_.batch, dialogs_, pages_);
  pages_->addWidget(batch_);

  title_ = new TitleBarWidget(this);
  toolbar_ = new ToolbarWidget(this);

  // The Dir page's count label; the camera pages that hold it are never shown.
  photo_count_ = new QLabel(this);
  photo_count_->setObjectName(QStringLiteral("Label1"));
  photo_count_->hide();

  size_dialog_ = new SizeDialog(dialogs_, this);
  // The output size, kept from photo to photo, is shown under the Size button while one is set,
  // with a notice when it does not have the shape of the photo shown.
  auto* adjust = tools_->findChild<QWidget*>(QStringLiteral("Panel1"));
  output_size_ = new QLabel(adjust);
  output_size_->setObjectName(QStringLiteral("OutputSizeLabel"));
  output_size_->setGeometry(12, 80, 70, 16);
  output_size_->setToolTip(QStringLiteral("Output size; \"Original size\" in the Size dialog clears it"));
  output_size_->hide();
  output_shape_ = new QLabel(QStringLiteral("shape differs"), adjust);
  output_shape_->setObjectName(QStringLiteral("OutputShapeNotice"));
  output_shape_->setGeometry(84, 80, 104, 16);
  output_shape_->setStyleSheet(QStringLiteral("color: %1;").arg(QColor(kSkinProblemText).name()));
  output_shape_->hide();
  crop_dialog_ = new CropDialog(dialogs_, this);

  StyleEditorHooks hooks;
  hooks.render_preview = [this](const FrameStyle& style) {
    QImage composite(state_.working_photo.size(), QImage::Format_ARGB32_Premultiplied);
    composite.fill(Qt::transparent);
    RenderComposite(state_.working_photo, composite, style, state_.textures, state_.edit.tone_matrix);
    return composite;
  };
  hooks.show_preview = [this](const QImage& composite) {
    preview_->ShowOnScreen(composite, DisplayMode::StyleEditor, QImage());
  };
  hooks.refresh_preview = [this] { RefreshPreview(); };
  hooks.render_thumbnail = [this](const FrameStyle& style) {
    return RenderStyleThumbnail(style, state_.textures);
  };
  hooks.template_path = [this] { return state_.edit.template_path; };
  hooks.set_template_path = [this](const QString& path) { state_.edit.template_path = path; };
  hooks.set_current_style = [this](const FrameStyle& style) { state_.style = style; };
  style_editor_ =
      new StyleEditorDialog(config_, dialogs_, *templates_, state_.textures, std::move(hooks), this);
}

void MainWindow::Wire() {
  connect(photos_, &PhotoGridWidget::Chosen, this,
          [this](int index, ChoiceSource source) { Guarded([&] { OnPhotoChosen(index, source); }); });
  connect(photos_, &PhotoGridWidget::PhotoCountChanged, photo_count_, qOverload<int>(&QLabel::setNum));
  connect(templates_, &TemplateGridWidget::Chosen, this,
          [this](int index, ChoiceSource) { Guarded([&] { OnTemplateChosen(index); }); });
  connect(templates_, &TemplateGridWidget::EmptyCellClicked, preview_, &PreviewWidget::HideStartPicture);
  connect(templates_, &TemplateGridWidget::EditRequested, this,
          [this] { Guarded([this] { OnEditStyle(); }); });
  connect(preview_, &PreviewWidget::ScreenPressed, this, &MainWindow::OnScreenPressed);
  connect(preview_, &PreviewWidget::ScreenMoved, this, &MainWindow::OnScreenMoved);
  connect(photos_, &PhotoGridWidget::Deleted, this, &MainWindow::OnPhotosDeleted);
  connect(title_, &TitleBarWidget::HelpClicked, this,
          [this] { OpenManualPage(QStringLiteral("index.html")); });
  connect(title_, &TitleBarWidget::MinimiseClicked, this, &QWidget::showMinimized);
  connect(title_, &TitleBarWidget::CloseClicked, this, &QWidget::close);
  connect(toolbar_, &ToolbarWidget::ManualRequested, this, &MainWindow::OpenManualPage);
  // On the Batch page Save belongs to the batch entries: one selected entry is batch saved.
  connect(toolbar_, &ToolbarWidget::SaveRequested, this, [this] {
    if (pages_->currentIndex() == kSinglPage)
      Guarded([&] {
        if (const std::optional<QString> written = output_->Save(state_.edit, state_.style))
          RefreshWrittenThumbnail(*written);
      });
    else if (batch_->SelectedRows().size() == 1)
      Guarded([&] { OnBatchSave(); });
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
  connect(tools_->findChild<QPushButton*>(QStringLiteral("FlatButton15")), &QPushButton::clicked, this,
          [this] { Guarded([&] { OnCrop(); }); });
  connect(tools_->findChild<QPushButton*>(QStringLiteral("FlatButton20")), &QPushButton::clicked, this,
          [this] { Guarded([&] { OnStartCaption(); }); });
  connect(tools_, &ToolPagesWidget::ToneKnobsReleased, this,
          [this](ToneKnobPositions positions) { Guarded([&] { OnToneKnobsReleased(positions); }); });
  connect(tools_, &ToolPagesWidget::CaptionControlsChanged, this,
          [this] { Guarded([&] { OnCaptionControlsChanged(); }); });
  connect(tools_, &ToolPagesWidget::ShadowColourChanged, this, [this](std::int32_t colour) {
    state_.edit.caption.shadow_colour = colour;
    Guarded([&] {
      RebuildCaption();
      RecordEdit();
    });
  });
  connect(tools_, &ToolPagesWidget::FaceColourChanged, this, [this](std::int32_t colour) {
    state_.edit.caption.face_colour = colour;
    Guarded([&] {
      RebuildCaption();
      RecordEdit();
    });
  });
  connect(tools_, &ToolPagesWidget::CaptionDone, this, &MainWindow::OnCaptionDone);
  WireBatch();
  WireCamera();
  WirePhotoWatch();
  WireKeys();
}

void MainWindow::LoadStartFolders() {
  // A missing or empty folder leaves its grid empty with the grid's hint; one message, once the
  // window is up, names the folder so the user knows what to mend in Config.ini or DATA.
  start_problem_ = StartFolderProblem(config_);
  photos_->ScanFolder(config_.PhotoFolder());
  templates_->ScanCategory(TemplateCategory::Texture);
  photos_->SetPage(0);
  templates_->SetPage(0);
  photos_->ClearCellPaths();
  photos_->HideSelectionFrame();
  photos_->DrawPage();
  templates_->DrawPage();
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (start_problem_.isEmpty()) return;
  // After the window has painted, so the message stands in front of it.
  QTimer::singleShot(
      0, this, [this, problem = std::exchange(start_problem_, QString())] { dialogs_.ShowNotice(problem); });
}

void MainWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(QPoint(0, 0), skin_);
}

void MainWindow::RefreshPreview() {
  preview_->ShowOnScreen(RenderPreviewComposite(state_), state_.display_mode, state_.caption_layer);
  // Whatever brought this photo to the screen, its file is watched from now on. Without a photo the
  // watch stays on the one that went missing, so that it is shown again when it comes back.
  if (photo_watch_ && !state_.edit.photo_path.isEmpty()) photo_watch_->Watch(state_.edit.photo_path);
}

void MainWindow::ShowOutputButtonsWhenReady() {
  if (pages_->currentIndex() == kSinglPage && photos_->SelectedIndex() >= 0 &&
      templates_->SelectedIndex() >= 0)
    toolbar_->SetOutputButtonsVisible(true);
}

void MainWindow::OpenVisit(const OpenRequest& request) {
  if (request.selection)
    photos_->ShowSelection(request.photos);
  else
    photos_->ScanFolder(request.folder);
  photos_->HideSelectionFrame();
  photo_count_->setNum(photos_->Count());
  QList<int> rows;
  // A selection shows exactly the photos given: the grid is the set, and one photo is chosen at once.
  if (!request.selection || photos_->Count() == 1)
    for (const QString& photo : request.photos)
      if (const int row = photos_->IndexOfPath(photo); row >= 0) rows.append(row);
  photos_->SetPage(rows.isEmpty() ? 0 : rows.first() / kCellsPerPage);
  photos_->ClearCellPaths();
  photos_->DrawPage();
  if (rows.size() == 1) {
    photos_->SetSelectedIndex(rows.first());
    photos_->ShowSelectionFrame(CellOfItem(rows.first(), photos_->Page()));
    Guarded([&] { OnPhotoChosen(rows.first(), ChoiceSource::List); });
  } else if (rows.size() > 1) {
    if (!photos_->IsListView()) photos_->ToggleView();
    photos_->SelectRows(rows);
  }
}

void MainWindow::OnPhotoChosen(int index, ChoiceSource) {
  const QString path = photos_->Rows()[index].path;
  // The file is decoded before anything changes: a photo that cannot be read is not taken, and
  // the preview, the edit state and the current photo stay as they were.
  if (!LoadPhotoIntoState(state_, path)) {
    photos_->SetSelectedIndex(photos_->IndexOfPath(state_.edit.photo_path));
    photos_->HideSelectionFrame();
    dialogs_.ShowNotice(QStringLiteral("Unable to read %1").arg(QFileInfo(path).fileName()));
    return;
  }
  if (!batch_->SelectedRows().isEmpty()) OnPhotoChosenForBatchEntry(index);
  // Whatever the route (cell, list row, step, a visit from the command line), the tone matrix is
  // the identity again and the knobs show it.
  tools_->ResetToneKnobs();
  // The caption keeps its share of the photo: its layer follows the new photo's fit factor.
  state_.caption_layer = BuildCaptionLayer(state_.edit.caption, state_.edit.fit_factor, kScreenSize);
  ShowOutputButtonsWhenReady();
  preview_->HideStartPicture();
  preview_->StopFade();
  photos_->ShowChosenCounter(index);
  ShowOutputSize();
  RefreshPreview();
  StartHistory();
}

void MainWindow::OnTemplateChosen(int index) {
  // Several photos selected: the template frames each of them in a new batch entry.
  if (photos_->SelectedRows().size() >= 2) {
    AddSeveralToBatch(index);
    return;
  }
  // On the Batch page a template belongs to the selected batch entries, not to the preview.
  if (pages_->currentIndex() != kSinglPage) {
    OnTemplateChosenOnBatchPage(index);
    return;
  }
  const QString path = templates_->Rows()[index].path;
  TemplateOutcome outcome = TemplateOutcome::Applied;
  try {
    outcome = ApplyTemplate(state_, path);
  } catch (const LumistoError&) {
    // The template in use stays current, and the grid says so again.
    ShowCurrentTemplateInGrid();
    throw;
  }
  ShowOutputButtonsWhenReady();
  preview_->StopFade();
  preview_->HideStartPicture();
  templates_->ShowChosenCounter(index);
  // The tone matrix is the identity again: the knobs go back where a fresh choice has them.
  tools_->ResetToneKnobs();
  if (outcome == TemplateOutcome::NoSettingsFile) {
    dialogs_.ShowNotice(QStringLiteral("no file"));
    return;
  }
  RefreshPreview();
  RecordEdit();
}

void MainWindow::ShowCurrentTemplateInGrid() {
  const int current = templates_->IndexOfPath(state_.edit.template_path);
  templates_->SetSelectedIndex(current);
  const int cell = current >= 0 ? CellOfItem(current, templates_->Page()) : -1;
  if (cell >= 0)
    templates_->ShowSelectionFrame(cell);
  else
    templates_->HideSelectionFrame();
  if (current >= 0) templates_->ShowChosenCounter(current);
}

void MainWindow::OnGeometricEdit(GeometricEdit code) {
  // Nothing to turn while no photo is loaded.
  if (preview_->StartPictureVisible()) return;
  // Turn the working photo first: when its copy cannot be made, nothing is recorded.
  if (!RotateFlip(state_.working_photo, RotateFlipOf(code)))
    throw LumistoError(QStringLiteral("Not enough memory to turn the photo"));
  ApplyGeometricEdit(state_.edit, code);
  ShowOutputSize();
  RefreshPreview();
  RecordEdit();
}

void MainWindow::OnResize() {
  if (preview_->StartPictureVisible()) return;
  // The picture framed is the turned photo, or its crop: OK on these start values changes nothing,
  // and the tick keeps their shape.
  size_dialog_->Prepare(FramedPictureSize(state_.edit),
                        QSize(state_.edit.output_width, state_.edit.output_height));
  if (size_dialog_->exec() != QDialog::Accepted) return;
  state_.edit.output_width = size_dialog_->ChosenSize().width();
  state_.edit.output_height = size_dialog_->ChosenSize().height();
  ShowOutputSize();
  RecordEdit();
}

void MainWindow::ShowOutputSize() {
  const EditState& edit = state_.edit;
  const bool set = edit.output_width != 0 && edit.output_height != 0;
  output_size_->setText(set ? QStringLiteral("%1 x %2").arg(edit.output_width).arg(edit.output_height)
                            : QString());
  output_size_->setVisible(set);
  // Kept from photo to photo: say so before Save when it does not fit this photo's shape.
  const bool differs =
      set && !edit.photo_path.isEmpty() &&
      OutputSizeChangesShape(FramedPictureSize(edit), QSize(edit.output_width, edit.output_height));
  output_shape_->setVisible(differs);
  output_shape_->setToolTip(
      differs ? QStringLiteral("Saved pictures are %1 x %2, not the shape of this photo (%3 x %4)")
                    .arg(edit.output_width)
                    .arg(edit.output_height)
                    .arg(FramedPictureSize(edit).width())
                    .arg(FramedPictureSize(edit).height())
              : QString());
}

void MainWindow::OnToneKnobsReleased(const ToneKnobPositions& positions) {
  const ToneValues v = ReadToneKnobs(positions);
  state_.edit.contrast = v.contrast;
  state_.edit.brightness = v.brightness;
  state_.edit.saturation = v.saturation;
  state_.edit.tone_matrix = BuildToneMatrix(v.contrast, v.brightness, v.saturation);
  RefreshPreview();
  RecordEdit();
}

void MainWindow::OnStartCaption() {
  if (preview_->StartPictureVisible()) return;
  state_.display_mode = DisplayMode::CaptionEditing;
  RefreshPreview();
  caption_backdrop_ = preview_->ShownPicture();
  tools_->LoadCaptionControls(state_.edit.caption);
  preview_->Screen()->setCursor(Qt::SizeAllCursor);
  RebuildCaption();
  tools_->setCurrentIndex(ToolPagesWidget::kTextPage);
  // The text takes the keys at once; Tab goes on to the picture, where arrows move the caption.
  preview_->Screen()->setFocusPolicy(Qt::StrongFocus);
  QWidget::setTabOrder(tools_->CaptionText(), preview_->Screen());
  tools_->FocusCaptionText();
}

void MainWindow::OnCaptionControlsChanged() {
  state_.edit.caption = tools_->ReadCaptionControls(state_.edit.caption);
  RebuildCaption();
  RecordEdit();
}

void MainWindow::RebuildCaption() {
  state_.caption_layer = BuildCaptionLayer(state_.edit.caption, state_.edit.fit_factor, kScreenSize);
  // While the caption is placed the preview shows it over the picture that was there when placing began.
  if (state_.display_mode != DisplayMode::CaptionEditing || caption_backdrop_.isNull()) return;
  QImage shown = caption_backdrop_;
  QPainter painter(&shown);
  painter.drawImage(QPoint(0, 0), state_.caption_layer);
  painter.end();
  preview_->ShowPicture(shown);
}

void MainWindow::OnCaptionDone() {
  state_.display_mode = DisplayMode::Normal;
  tools_->setCurrentIndex(ToolPagesWidget::kAdjustPage);
  preview_->Screen()->unsetCursor();
  // The keyboard, when it was on the hidden page or the picture, goes back to "Add Text".
  QWidget* focus = QApplication::focusWidget();
  preview_->Screen()->setFocusPolicy(Qt::NoFocus);
  if (focus != nullptr && (focus == preview_->Screen() || tools_->isAncestorOf(focus)))
    if (auto* add_text = tools_->findChild<QWidget*>(QStringLiteral("FlatButton20"))) add_text->setFocus();
  // The caption's place, dragged while placing, becomes one step.
  RecordEdit();
}

void MainWindow::OnCrop() {
  if (preview_->StartPictureVisible()) return;
  const RotateFlipType code = ReplayedRotateFlip(state_.edit.rotate_flip);
  if (!crop_dialog_->Prepare(state_.edit.photo_path, code, state_.edit.crop)) return;
  if (crop_dialog_->exec() != QDialog::Accepted) return;
  const CropRect crop = crop_dialog_->ChosenCrop();
  // The photo is read again before anything changes: a file gone meanwhile leaves the edits as they were.
  std::optional<LoadedWorkingPhoto> cropped = LoadCroppedWorkingPhoto(state_.edit.photo_path, code, crop);
  if (!cropped) {
    dialogs_.ShowNotice(
        QStringLiteral("Unable to read %1").arg(QFileInfo(state_.edit.photo_path).fileName()));
    return;
  }
  state_.edit.crop = crop;
  state_.working_photo = std::move(cropped->image);
  state_.edit.fit_factor = FitFactor(crop.width, crop.height, kScreenSize.width());
  state_.caption_layer = BuildCaptionLayer(state_.edit.caption, state_.edit.fit_factor, kScreenSize);
  state_.display_mode = DisplayMode::Normal;
  preview_->StopFade();
  ShowOutputSize();
  RefreshPreview();
  RecordEdit();
}

void MainWindow::OnEditStyle() {
  preview_->StopFade();
  style_editor_->Open(state_.style);
}

void MainWindow::OnScreenPressed(QPoint pos, Qt::MouseButtons buttons) {
  preview_->StopFade();
  ScreenMouseDown(state_.edit, state_.display_mode, pos, buttons);
}

void MainWindow::OnScreenMoved(QPoint pos, Qt::MouseButtons buttons) {
  // The framed preview ignores the photo offset; the live display shows it on its next frame.
  if (ScreenMouseMove(state_.edit, state_.display_mode, pos, buttons) == DragChange::CaptionPosition)
    RebuildCaption();
}

void MainWindow::OpenManualPage(const QString& page) {
  const QString path = config_.ShippedFolder() + QStringLiteral("/help/") + page;
  if (!QFileInfo::exists(path)) {
    dialogs_.ShowNotice(QStringLiteral("The manual is missing: %1").arg(QDir::toNativeSeparators(path)));
    return;
  }
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
    dialogs_.ShowNotice(QStringLiteral("No web browser could open %1").arg(QDir::toNativeSeparators(path)));
}

void MainWindow::OnPhotosDeleted(const QStringList& paths) {
  const QString& current = state_.edit.photo_path;
  if (current.isEmpty() || !paths.contains(current) || QFileInfo::exists(current)) return;
  ForgetPhoto(state_);
  photo_watch_->Watch(QString());  // deleted on purpose: a file of that name later is another photo
  preview_->StopFade();
  preview_->ShowStartPicture();
  toolbar_->SetOutputButtonsVisible(false);
}
