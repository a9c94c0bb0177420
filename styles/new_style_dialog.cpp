// The new style dialog.
#include "styles/new_style_dialog.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>

#include "base/lumisto_error.h"
#include "styles/template_files.h"
#include "styles/template_grid_widget.h"
#include "styles/template_library.h"

NewStyleDialog::NewStyleDialog(const Config& config, UserDialogs& dialogs, TemplateGridWidget& templates,
                               std::function<QImage(const FrameStyle&)> render_thumbnail,
                               std::function<void(const QString&)> set_template_path, QWidget* parent)
    : QDialog(parent),
      config_(config),
      dialogs_(dialogs),
      templates_(templates),
      render_thumbnail_(std::move(render_thumbnail)),
      set_template_path_(std::move(set_template_path)) {
  setObjectName(QStringLiteral("TStyleForm"));
  setWindowTitle(QStringLiteral("StyleForm"));
  BuildLayout();
  connect(ok_, &QPushButton::clicked, this, &NewStyleDialog::Ok);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}

void NewStyleDialog::BuildLayout() {
  setFixedSize(244, 108);
  auto* label = new QLabel(QStringLiteral("Name:"), this);
  label->setGeometry(16, 22, 50, 16);
  name_ = new QLineEdit(QStringLiteral("New Styles"), this);
  name_->setObjectName(QStringLiteral("Edit1"));
  name_->setGeometry(70, 19, 154, 21);
  label->setBuddy(name_);
  name_->setAccessibleName(QStringLiteral("Name"));
  name_->setFocus();
  auto* bevel = new QFrame(this);
  bevel->setObjectName(QStringLiteral("Bevel1"));
  bevel->setFrameShape(QFrame::HLine);
  bevel->setFrameShadow(QFrame::Sunken);
  bevel->setGeometry(8, 56, 228, 4);
  ok_ = new QPushButton(QStringLiteral("OK"), this);
  ok_->setObjectName(QStringLiteral("Button6"));
  ok_->setGeometry(106, 74, 54, 20);
  ok_->setDefault(true);
  cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
  cancel_->setObjectName(QStringLiteral("Button7"));
  cancel_->setGeometry(170, 74, 54, 20);
}

void NewStyleDialog::Ask(const FrameStyle& style) {
  style_ = style;
  exec();
}

void NewStyleDialog::Ok() {
  // Blanks at the ends belong to no file name: "  Gold " is the template "Gold", and a name of
  // blanks only is no name.
  const QString name = name_->text().trimmed();
  if (name.isEmpty()) {
    dialogs_.ShowNotice(QStringLiteral("Please input Frame Name!"));
    return;
  }
  const QString folder = config_.TemplateFolder(templates_.Category());
  const QString settings = NewTemplateSettingsPath(folder, name);
  const QString unable = QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(settings));
  // A shipped template of that name counts as there: a new one would hide it.
  const QString shipped = config_.ShippedTemplateFolder(templates_.Category());
  NewTemplateProblem problem = CheckNewTemplateName(folder, name);
  if (problem == NewTemplateProblem::kNone && !shipped.isEmpty() &&
      CheckNewTemplateName(shipped, name) == NewTemplateProblem::kAlreadyExists)
    problem = NewTemplateProblem::kAlreadyExists;
  switch (problem) {
    case NewTemplateProblem::kNone:
      break;
    case NewTemplateProblem::kEmptyName:
      dialogs_.ShowNotice(QStringLiteral("Please input Frame Name!"));
      return;
    case NewTemplateProblem::kUnsafeName:
      // The name would put the files outside the category folder.
      dialogs_.ShowError(unable);
      return;
    case NewTemplateProblem::kAlreadyExists:
      dialogs_.ShowNote(QStringLiteral("The file has already existed"));
      accept();
      return;
  }
  try {
    WriteFrameStyle(settings, style_);
  } catch (const LumistoError& error) {
    dialogs_.ShowError(error.Message());
    return;
  }
  try {
    WriteTemplatePicture(settings, render_thumbnail_(style_));
  } catch (const LumistoError& error) {
    // A settings file without its picture would never be listed: take it back.
    QFile::remove(settings);
    dialogs_.ShowError(error.Message());
    return;
  }
  const QString picture = TemplatePicturePath(settings);
  templates_.AppendTemplate(picture, name);
  set_template_path_(picture);
  accept();
}
