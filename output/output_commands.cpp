// Save, print and e-mail.
#include "output/output_commands.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

#include "base/lumisto_error.h"
#include "imaging/image_io.h"
#include "output/input_files.h"
#include "output/mail_request.h"
#include "output/print_job.h"
#include "output/render_to_file.h"

namespace {

// A full-size render takes a moment: the pointer says so.
class BusyCursor {
 public:
  BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

RenderRequest RequestWithPolicy(RenderRequest request, MetadataPolicy policy) {
  request.metadata = policy;
  return request;
}

void ReportFailure() {
  std::fputs("Failure\n", stdout);
  std::fflush(stdout);
}

}  // namespace

OutputCommands::OutputCommands(const Config& config, UserDialogs& dialogs, const TextureList& textures,
                               QString temp_root)
    : config_(config),
      dialogs_(dialogs),
      textures_(textures),
      temp_root_(std::move(temp_root)),
      scratch_(temp_root_) {
  scratch_.RemoveLeftovers();
}

std::optional<QString> OutputCommands::Save(const EditState& edit, const FrameStyle& style) {
  for (;;) {
    const QString start = save_folder_.isEmpty() ? QFileInfo(edit.photo_path).absolutePath() : save_folder_;
    MetadataPolicy policy = config_.OutputMetadata();
    bool keep = policy != MetadataPolicy::Strip;
    const std::optional<QString> path = dialogs_.ChooseSaveFileKeeping(start, &keep);
    if (!path) return std::nullopt;
    save_folder_ = QFileInfo(*path).absolutePath();
    // The box changes the setting only when it was changed: "without the place" stays when ticked.
    if (keep != (policy != MetadataPolicy::Strip)) {
      policy = keep ? MetadataPolicy::Keep : MetadataPolicy::Strip;
      config_.SetOutputMetadata(policy);
    }
    // The save dialog does not ask: the question depends on what the file is to these edits.
    const InputKind input = InputAt(edit, *path);
    const bool replace = input != InputKind::None   ? dialogs_.AskYesNoWarning(ReplaceInputQuestion(input))
                         : QFileInfo::exists(*path) ? dialogs_.AskYesNoWarning(ReplaceFileQuestion(*path))
                                                    : true;
    if (!replace) continue;
    BusyCursor busy;
    RenderToFile(RequestWithPolicy(RenderRequestFor(edit, style, *path), policy), textures_);
    return path;
  }
}

void OutputCommands::Print(const EditState& edit, const FrameStyle& style) {
  QString path = PrintFilePath(config_.AppFolder(), temp_root_);
  // The print file is written and then deleted: never where a file the edits read lies.
  if (InputAt(edit, path) != InputKind::None) path = scratch_.NewAttachmentPath(QStringLiteral("print.jpg"));
  struct RemoveAfterwards {
    QString path;
    ~RemoveAfterwards() { QFile::remove(path); }
  } remove_afterwards{path};
  LoadedImage picture;
  {
    BusyCursor busy;
    RenderToFile(RequestWithPolicy(RenderRequestFor(edit, style, path), config_.OutputMetadata()), textures_);
    picture = LoadImage(path);
  }
  if (picture.status != LoadStatus::Ok || picture.image.isNull())
    throw LumistoError(QStringLiteral("Unable to read back %1 for printing").arg(path));
  if (!dialogs_.ConfirmPrint(printer_)) {
    ReportFailure();
    return;
  }
  BusyCursor busy;
  if (!PrintPicture(printer_, picture.image))
    throw LumistoError(
        QStringLiteral("Unable to print on %1")
            .arg(printer_.printerName().isEmpty() ? QStringLiteral("the printer") : printer_.printerName()));
}

void OutputCommands::PrintSetup() {
  if (!dialogs_.SetUpPrinter(printer_)) ReportFailure();
}

void OutputCommands::Email(const EditState& edit, const FrameStyle& style) {
  const QString path = scratch_.NewAttachmentPath(QStringLiteral("mail.jpg"));
  {
    BusyCursor busy;
    RenderToFile(RequestWithPolicy(RenderRequestFor(edit, style, path), config_.OutputMetadata()), textures_);
  }
  // Without a mail program nothing visible happens.
  SendMail(MailRequestFor(path), mail_program_);
}
