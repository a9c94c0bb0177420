// Batch job files: the batch list as a readable INI file, one section per entry.
#pragma once

#include <QList>
#include <QString>

#include "batch/batch_entry.h"

// The largest job file (bytes) and the most entries it may hold: the reader refuses anything
// larger, and the writer refuses to write it. A job of the most entries, each with paths of 255
// bytes and every edit made, stays well inside the size.
constexpr qint64 kMaxJobFileBytes = 256 * 1024 * 1024;
constexpr int kMaxJobEntries = 100000;

// Writes entries to path in one replacement of the file: a [Batch] section with Version=2 and
// Entries=N, then [Entry1] .. [EntryN], each with every field of the entry and the keys of the
// entry's frame style exactly as a template's settings file holds them (FrameStyleKeyTexts).
// Throws LumistoError, writing nothing, for no entries, too many, a file past kMaxJobFileBytes or
// an output name that OutputNameProblem refuses; "Unable to write to <path>" when the write fails.
void WriteBatchJob(const QString& path, const QList<BatchEntry>& entries);

// Reads the entries of the job file at path, in file order. The file must hold [Batch] with
// Entries=N first, then exactly [Entry1] .. [EntryN], and end with a line break. A key left out
// takes the value of a neutral entry; Photo and Template are required. Style keys left out come
// from the template's settings file (Scale of a version 1 entry, or the whole style of an entry
// without style keys); with that file gone they are 0 and Scale is 1, and an entry without any
// style key is refused. Throws LumistoError naming the file (and the section and key) for a
// missing, unreadable, oversized, cut or empty file, a bad value or a value out of its range, and an
// output name that OutputNameProblem refuses. A photo or template that does not exist is not an
// error otherwise (see MissingFiles).
QList<BatchEntry> ReadBatchJob(const QString& path);

// "photo missing", "template missing", both joined by ", ", or empty when both files exist.
QString MissingFiles(const BatchEntry& entry);

// Text as a job file value, surrounded by double quotes with \-escapes when it has leading or
// trailing blanks, control characters or starts with a quote; and back (throws LumistoError on a
// malformed quoted value, a bad escape, or a \u escape of half a surrogate pair).
QString EncodeJobText(const QString& text);
QString DecodeJobText(const QString& value);
