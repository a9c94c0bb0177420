// The main window `TForm1`: the skin-shaped frameless window holding the title band, toolbar,
// photo and template grids, and the main pages with the preview and the tool pages. It owns the
// shared state and carries a choice of photo or template through to the faded-in preview.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "app/edit_history.h"
#include "app/main_state.h"
#include "app/open_request.h"
#include "app/screen_fade.h"
#include "base/config.h"
#include "base/guarded_call.h"
#include "base/user_dialogs.h"
#include "browse/thumbnail_cache.h"
#include "widgets/thumbnail_grid_widget.h"

class BatchPageWidget;
class PhotoGridWidget;
class PreviewWidget;
class TemplateGridWidget;
class TitleBarWidget;
class ToolPagesWidget;
class ToolbarWidget;
class OutputCommands;
class SizeDialog;
class CropDialog;
struct ToneKnobPositions;
class StyleEditorDialog;
class CameraFeed;
class CameraWindow;
class FrameSource;
class PhotoFileWatch;
enum class CustomFrameShape;
enum class WindowCommand;

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kSinglPage = 0;
  static constexpr int kBatchPage = 1;

  // config names the application folder; dialogs answer the questions; cache stores thumbnails.
  // fade_interval_ms is the preview fade's tick (50 in the program).
  // temp_root is the folder for mail attachments and, when the application folder is read-only,
  // the print file (the system's temporary folder in the program).
  MainWindow(const Config& config, UserDialogs& dialogs, const ThumbnailCache& cache,
             int fade_interval_ms = ScreenFade::kDefaultIntervalMs, const QString& temp_root = QString());
  ~MainWindow() override;

  const MainState& State() const { return state_; }
  // The edit history of the photo on screen.
  const EditHistory& History() const { return history_; }
  PhotoGridWidget* Photos() const { return photos_; }
  TemplateGridWidget* Templates() const { return templates_; }
  PreviewWidget* Preview() const { return preview_; }
  OutputCommands& Output() const { return *output_; }
  StyleEditorDialog* StyleEditor() const { return style_editor_; }
  BatchPageWidget* Batch() const { return batch_; }
  // The Add Batch button's mode: true while it stores into the entry being edited ("Updata").
  bool BatchUpdateMode() const { return batch_update_mode_; }

  // Renders the working photo with the current style and shows it in the preview.
  void RefreshPreview();

  // The camera tool window (null until first opened) and its live display (null until first used).
  CameraWindow* Camera() const { return camera_window_; }
  CameraFeed* Feed() const { return camera_feed_; }
  // Replaces the device the camera pages drive (the first video input unless replaced); the window
  // takes source over. Anything running on the old one stops.
  void SetFrameSource(FrameSource* source);
  // Shows the camera tool window beside the main window.
  void OpenCameraWindow();
  // Shows it and presses its Power.
  void StartCamera();

  // A visit from outside: shows the request's folder (Config.ini keeps its photo folder), or the
  // selection of exactly its photos; one photo is chosen and previewed, several photos of a folder
  // are selected in the list view, ready for a template click.
  void OpenVisit(const OpenRequest& request);

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Entries of the batch list live only in the window: closing with some asks first.
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // Dropped photos and folders open as `lumisto PHOTO...` does; template settings files dropped
  // on the template area are copied into the category shown (a name clash is asked).
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildLayout();
  void Wire();
  void LoadStartFolders();
  void OnPhotoChosen(int index, ChoiceSource source);
  void OnTemplateChosen(int index);
  // Selects and frames the template in use (or nothing) in the template grid.
  void ShowCurrentTemplateInGrid();
  void OnScreenPressed(QPoint pos, Qt::MouseButtons buttons);
  void OnScreenMoved(QPoint pos, Qt::MouseButtons buttons);
  void ShowOutputButtonsWhenReady();
  void OnGeometricEdit(GeometricEdit code);
  void OnResize();
  // The output size under the Size button, and the notice when it changes this photo's shape.
  void ShowOutputSize();
  void OnToneKnobsReleased(const ToneKnobPositions& positions);
  void OnStartCaption();
  void OnCaptionControlsChanged();
  void OnCaptionDone();
  void RebuildCaption();
  void OnCrop();
  void OnEditStyle();

  // The batch list side of the window.
  void WireBatch();
  void OnAddBatch();
  bool AddSeveralToBatch(int template_index);
  void OnTemplateChosenOnBatchPage(int template_index);
  void OnPhotoChosenForBatchEntry(int photo_index);
  void OnBatchRowsClicked();
  void OnBatchRowDoubleClicked();
  void OnBatchEdit();
  void OnBatchSave();
  // The Batch page's New: the Singl page in add mode, tied to no entry.
  void OnNewBatchEntry();
  // Sets entry row's Frame and Size texts from the template and photo it holds.
  void NameEntryFiles(int row);
  void OnTimer7();
  void SetBatchUpdateMode(bool on);
  // Puts the tone knobs and the caption controls where the restored edits place them.
  void ShowEditControlsFor(const EditState& edit);
  // Opens a page of the manual shipped beside the program ("help/" in the application folder) in
  // the desktop's browser; a missing manual is reported.
  void OpenManualPage(const QString& page);
  // Delete removed files: when one was the current photo, the preview goes back to the start
  // picture and the output buttons hide, since nothing is left to save.
  void OnPhotosDeleted(const QStringList& paths);
  template <typename Handler>
  void Guarded(Handler&& handler);

  // The keyboard: the shortcut table's actions, the tab order.
  void WireKeys();
  void RunCommand(WindowCommand command, const QString& button_name);
  void OpenDropped(const QStringList& paths);
  void ImportDroppedTemplates(const QStringList& paths);
  // Accessible names and descriptions of the controls that have no caption of their own.
  void NameControlsForScreenReaders();
  // The edit history of the photo on screen: started when a photo is chosen, recorded after each
  // edit, and walked by undo and redo.
  EditSnapshot Snapshot() const;
  void StartHistory();
  void RecordEdit();
  void OnUndo();
  void OnRedo();
  void RestoreSnapshot(const EditSnapshot& step);

  // The camera side of the window.
  void WireCamera();
  CameraFeed& LiveFeed();
  void OnCameraPower();
  void OnCameraSnapshot();
  void OnCameraConfig();
  void OnCustomFrame(CustomFrameShape shape);
  void OnCameraLost(const QString& reason);

  // The photo on disk: another program rewrote, replaced or deleted the photo on screen, and the
  // thumbnails of files the window wrote.
  void WirePhotoWatch();
  void OnShownPhotoChanged(const QString& path);
  void LoseShownPhoto();
  void RefreshWrittenThumbnail(const QString& path);

  const Config& config_;
  UserDialogs& dialogs_;
  const ThumbnailCache& cache_;
  int fade_interval_ms_;
  MainState state_;
  QImage skin_;
  TitleBarWidget* title_ = nullptr;
  ToolbarWidget* toolbar_ = nullptr;
  PhotoGridWidget* photos_ = nullptr;
  TemplateGridWidget* templates_ = nullptr;
  QStackedWidget* pages_ = nullptr;
  PreviewWidget* preview_ = nullptr;
  ToolPagesWidget* tools_ = nullptr;
  BatchPageWidget* batch_ = nullptr;
  QLabel* photo_count_ = nullptr;
  SizeDialog* size_dialog_ = nullptr;
  QLabel* output_size_ = nullptr;
  QLabel* output_shape_ = nullptr;
  CropDialog* crop_dialog_ = nullptr;
  QImage caption_backdrop_;  // what the preview showed when caption editing began
  StyleEditorDialog* style_editor_ = nullptr;
  std::unique_ptr<OutputCommands> output_;
  QPushButton* add_batch_ = nullptr;
  bool batch_update_mode_ = false;
  // Why a start folder cannot be shown, said once the window is first on screen.
  QString start_problem_;
  QTimer timer7_;       // ends the batch preview display a moment after a double click
  int timer7_tag_ = 1;  // counts its ticks; never reset
  QString batch_folder_;
  FrameSource* camera_source_ = nullptr;  // children of the window
  CameraFeed* camera_feed_ = nullptr;
  CameraWindow* camera_window_ = nullptr;
  EditHistory history_;
  PhotoFileWatch* photo_watch_ = nullptr;  // a child of the window
};

template <typename Handler>
void MainWindow::Guarded(Handler&& handler) {
  RunGuarded(dialogs_, std::forward<Handler>(handler));
}
