// Batch job files: the batch list as a readable INI file, one section per entry.
#pragma once

#include <QList>
#include <QString>

#include "batch/batch_entry.h"

// The largest job file read (bytes) and the most entries it may hold.
constexpr qint64 kMaxJobFileBytes = 64 * 1024 * 1024;
constexpr int kMaxJobEntries = 100000;

// Writes entries to path in one replacement of the file: a [Batch] section with Version=1 and
// Entries=N, then [Entry1] .. [EntryN], each with every field of the entry and the 32 style keys
// of a template's "Frames" section. Throws LumistoError "Unable to write to <path>".
void WriteBatchJob(const QString& path, const QList<BatchEntry>& entries);

// Reads the entries of the job file at path, in file order. A key left out takes the value of a
// neutral entry; Photo and Template are required. Throws LumistoError naming the file, section and
// key for a missing, unreadable or oversized file, a bad value or a value out of its range, and an
// output name that OutputNameProblem refuses. A photo or template that does not exist is not an
// error here (see MissingFiles).
QList<BatchEntry> ReadBatchJob(const QString& path);

// "photo missing", "template missing", both joined by ", ", or empty when both files exist.
QString MissingFiles(const BatchEntry& entry);

// Text as a job file value, surrounded by double quotes with \-escapes when it has leading or
// trailing blanks, control characters or starts with a quote; and back (throws LumistoError on a
// malformed quoted value).
QString EncodeJobText(const QString& text);
QString DecodeJobText(const QString& value);
