// Drag and drop on the main window: photos and folders open as on the command line; template
// settings files dropped on the template area join the category shown.
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

#include "app/dropped_files.h"
#include "app/main_window.h"
#include "base/lumisto_error.h"
#include "output/render_arguments.h"
#include "styles/template_grid_widget.h"

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() && !DroppedLocalPaths(event->mimeData()->urls()).isEmpty())
    event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  const QStringList paths = DroppedLocalPaths(event->mimeData()->urls());
  if (paths.isEmpty()) return;
  event->acceptProposedAction();
  const bool on_templates = templates_->geometry().contains(event->position().toPoint());
  Guarded([&] {
    if (on_templates && AllTemplateSettingsFiles(paths))
      ImportDroppedTemplates(paths);
    else
      OpenDropped(paths);
  });
}

void MainWindow::OpenDropped(const QStringList& paths) {
  const OpenArguments read = ReadOpenArguments(paths, QString());
  if (read.outcome != OpenArguments::Outcome::Open)
    throw LumistoError(read.message.isEmpty() ? QStringLiteral("nothing to open") : read.message);
  OpenVisit(read.request);
  if (!read.warnings.isEmpty()) dialogs_.ShowNotice(read.warnings.join(u'\n'));
}

void MainWindow::ImportDroppedTemplates(const QStringList& paths) {
  const QString folder = config_.TemplateFolder(templates_->Category());
  const QString shipped = config_.ShippedTemplateFolder(templates_->Category());
  QDir().mkpath(folder);
  int imported = 0;
  for (const QString& path : paths) {
    // A shipped template of the name counts as there: the dropped one would stand in its place.
    if ((QFileInfo::exists(ImportedTemplatePath(path, folder)) ||
         (!shipped.isEmpty() && QFileInfo::exists(ImportedTemplatePath(path, shipped)))) &&
        !dialogs_.AskYesNo(QStringLiteral("A template named %1 is already there. Replace it?")
                               .arg(Echo(QFileInfo(path).completeBaseName()))))
      continue;
    ImportTemplate(path, folder, state_.textures);
    ++imported;
  }
  if (imported == 0) return;
  templates_->ScanCategory(templates_->Category());
  templates_->SetPage(0);
  templates_->ClearCellPaths();
  templates_->DrawPage();
}
