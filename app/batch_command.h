// `lumisto batch ...`: batch jobs rendered, built and listed from the command line.
#pragma once

#include <QStringList>
#include <QTextStream>

// args are those after "batch":
//   JOB --out DIR [--jobs N] [--overwrite | --skip-existing] [--shard I/N] [--force]
//                                                                 render every entry of JOB into DIR
//   add JOB --template TEMPLATE PHOTO...                          append neutral entries to JOB
//   list JOB                                                      one line per entry
// Returns kExitOk, kExitFailure (one line on err per problem) or kExitUsage.
int RunBatchCommand(const QStringList& args, QTextStream& out, QTextStream& err);

// The usage lines of the batch commands, for --help.
QString BatchUsageText();
