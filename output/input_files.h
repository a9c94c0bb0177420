// The files the current edits read, so that nothing the window writes lands on one of them unasked.
#pragma once

#include <QString>

#include "edit/edit_state.h"

// What a path is to the current edits.
enum class InputKind {
  None,              // none of the files the edits read
  Photo,             // the photo being framed
  TemplatePicture,   // the preview picture of the template in use
  TemplateSettings,  // the settings file of the template in use
};

// True when both paths name one existing file: the same device and inode, so symbolic and hard
// links and spellings such as "a/../b" count as that file.
bool IsSameFile(const QString& a, const QString& b);

// Which input of edit the file at path is; None for a new name or any other file.
InputKind InputAt(const EditState& edit, const QString& path);

// The question asked before the framed picture replaces that input: it names what would be lost
// ("This is the photo being framed. ..."). Empty for InputKind::None.
QString ReplaceInputQuestion(InputKind kind);

// The question asked before the framed picture replaces another existing file.
QString ReplaceFileQuestion(const QString& path);
