// The headless command line: sub-commands that run without a display.
#pragma once

#include <QStringList>
#include <QTextStream>

// Exit codes of the command line.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// True when args (without the program name and --home) ask for the command line rather than
// the window: they start with a sub-command or an option (--help, --version).
bool WantsCommandLine(const QStringList& args);

// Runs one command line (args without the program name; --home already taken out) against the
// application folder. Failures print one line to err and return kExitFailure; wrong usage
// returns kExitUsage.
int RunCommandLine(const QStringList& args, const QString& app_folder, QTextStream& out, QTextStream& err);

// The usage text printed by --help.
QString UsageText();
