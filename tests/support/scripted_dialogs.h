// A stand-in for the program's dialogs: answers come from a script, and every question and
// notice is recorded for the test to check.
#pragma once

#include <QList>
#include <QStringList>
#include <optional>

#include "app/user_dialogs.h"

namespace testing_support {

struct ScriptedDialogs : UserDialogs {
  QList<bool> answers;                    // Yes/No answers in order; No when the script runs out
  QList<std::optional<QString>> folders;  // folder picker results; cancelled when it runs out
  QStringList questions;
  QStringList notices;
  QStringList errors;
  QStringList folder_titles;

  bool AskYesNo(const QString& question) override {
    questions.append(question);
    return answers.isEmpty() ? false : answers.takeFirst();
  }
  void ShowNotice(const QString& message) override { notices.append(message); }
  void ShowError(const QString& message) override { errors.append(message); }
  std::optional<QString> ChooseFolder(const QString& title, const QString&) override {
    folder_titles.append(title);
    return folders.isEmpty() ? std::nullopt : folders.takeFirst();
  }
};

}  // namespace testing_support
