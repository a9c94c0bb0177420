// One queued photo-and-template pair with all its edits, the store of them, and the rule for the
// names their outputs are written under.
#pragma once

#include <QList>
#include <QString>
#include <array>
#include <optional>

#include "edit/edit_state.h"
#include "styles/frame_style.h"

// A snapshot of the edit state with the frame style it was made with, and the three texts its
// row shows. output_name is the file name the entry is written under.
struct BatchEntry {
  QString output_name;  // the row's "Photo" caption: by default the photo's file name
  QString frame_name;   // the template's caption in the template list
  QString size_text;    // "WxH" of the photo
  EditState edit;
  FrameStyle style;
  // Values the entry carries unchanged for editors that have no place for them in EditState:
  float shown_photo_height = 0.0f;  // the camera view's photo height
  int custom_page_value = 0;        // a value of the Custom page
  int quarter_turns = 0;            // the quarter-turn state
  std::array<float, 2> webcam_view{0.0f, 10.0f};
  std::array<float, 2> tone_extra{0.0f, 0.0f};     // the two unnamed tone values
  std::array<float, 2> caption_extra{2.0f, 2.0f};  // the two caption floats before its position

  bool operator==(const BatchEntry&) const = default;
};

// The neutral entry a multiple add makes for photo_path framed by template_path, written under the
// photo's file name: no output size,
// no crop, no geometric edits, mirror switch 1, placement (0, 0), identity tone, and the caption of
// the window's start (white face, grey 100 shadow, empty text). style is the template's style.
BatchEntry NeutralBatchEntry(const QString& photo_path, const QString& template_path,
                             const FrameStyle& style);

// Why name cannot be an output file name (empty, a path separator or "..", control characters,
// half a surrogate pair, longer than 255 bytes), or nullopt when it can: the entry is written into the chosen
// folder and nowhere else.
std::optional<QString> OutputNameProblem(const QString& name);

// The entries of the batch list, row i being entry i, and the entry the editor is tied to.
class BatchStore {
 public:
  const QList<BatchEntry>& Entries() const { return entries_; }
  int Count() const { return static_cast<int>(entries_.size()); }
  const BatchEntry& At(int row) const { return entries_[row]; }
  BatchEntry& At(int row) { return entries_[row]; }

  // Appends an entry and returns its row.
  int Append(BatchEntry entry);
  // Replaces the whole list (a job file opened); the current entry becomes -1.
  void Replace(QList<BatchEntry> entries);
  // Store entry: the edit state and the style go into entry row (texts and carried values stay).
  void Store(int row, const EditState& edit, const FrameStyle& style);
  // Load entry: the reverse.
  void Load(int row, EditState& edit, FrameStyle& style) const;
  // Removes the rows (any order, duplicates ignored); the entries after each move up with their
  // styles. The current entry index follows its entry, and becomes -1 when that entry is removed.
  void Remove(QList<int> rows);

  // -1 when the editor is tied to no entry.
  int Current() const { return current_; }
  void SetCurrent(int row) { current_ = row; }

 private:
  QList<BatchEntry> entries_;
  int current_ = -1;
};
