// Photos and folders given on the command line or by a second start: what the window opens.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// A visit to a photo folder: the folder shown and the photos selected in it (absolute paths). An
// empty folder only brings the window to the front.
struct OpenRequest {
  QString folder;
  QStringList photos;
  bool operator==(const OpenRequest&) const = default;
};

// The request when every argument names an existing photo file or folder (relative paths taken
// from working_folder); the first folder given, or the folder of the first photo, is shown, and the
// photos in that folder are selected in the order given. Empty when args is empty or anything in it
// is not such a path (a command, an option, a missing file): the command line deals with those.
std::optional<OpenRequest> OpenRequestFor(const QStringList& args, const QString& working_folder);

// The request as one message for a running window, and back; a message that is not one gives empty.
QByteArray EncodeOpenRequest(const OpenRequest& request);
std::optional<OpenRequest> DecodeOpenRequest(const QByteArray& message);
