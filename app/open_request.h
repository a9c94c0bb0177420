// Photos and folders given on the command line, by a second start or by a drop: what the window opens.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// A visit: either a photo folder, shown with the given photos of it selected (absolute paths), or a
// selection: exactly the given photos, shown as one set whatever folders they lie in. An empty
// folder without a selection only brings the window to the front.
struct OpenRequest {
  QString folder;
  QStringList photos;
  bool selection = false;
  bool operator==(const OpenRequest&) const = default;
};

// What a command line that does not start with a command asks for.
struct OpenArguments {
  enum class Outcome { Open, UnknownCommand, Failure };
  Outcome outcome = Outcome::Open;
  OpenRequest request;
  QString message;       // the one line said for UnknownCommand and Failure
  QStringList warnings;  // files skipped because no decoder recognises them
};

// Paths to open (relative ones taken from working_folder). A file counts as a photo when a decoder
// recognises its content, whatever its name says; a folder is shown as a folder. The first folder
// given is shown, with the given photos that its listing holds selected. Without a folder, photos
// that all lie in one folder and are all in its listing visit that folder; any others (several
// folders, names the folder listing passes over) open as a selection of exactly those photos.
// A missing path fails with "no such file: NAME"; a first argument that is neither an existing path
// nor looks like one (no '/' and no '.') is an unknown command. Files that are not photos are
// skipped with a warning; when nothing is left to open, that fails.
OpenArguments ReadOpenArguments(const QStringList& args, const QString& working_folder);

// The request when args open something and nothing fails, else empty (convenience for callers that
// only need the request).
std::optional<OpenRequest> OpenRequestFor(const QStringList& args, const QString& working_folder);

// The request as one message for a running window, and back; a message that is not one gives empty.
QByteArray EncodeOpenRequest(const OpenRequest& request);
std::optional<OpenRequest> DecodeOpenRequest(const QByteArray& message);
