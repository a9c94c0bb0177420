// A stand-in for the program's dialogs: answers come from a script, and every question and
// notice is recorded for the test to check.
#pragma once

#include <QList>
#include <QStringList>
#include <optional>

#include "base/user_dialogs.h"

namespace testing_support {

struct ScriptedDialogs : UserDialogs {
  QList<bool> answers;                    // Yes/No answers in order; No when the script runs out
  QList<std::optional<QString>> folders;  // folder picker results; cancelled when it runs out
  QStringList questions;
  QStringList notices;
  QStringList errors;
  QStringList folder_titles;
  QList<std::optional<QString>> save_files;  // save dialog results; cancelled when it runs out
  QList<bool> keep_boxes_shown;              // the "Keep photo information" box as each save dialog showed it
  QList<bool> keep_box_answers;              // what the user leaves in it; as shown when it runs out
  QList<bool> print_answers;                 // print and set-up dialogs; cancelled when it runs out
  int print_dialogs = 0;
  QStringList notes;                        // notices titled "Note"
  QList<std::optional<QColor>> colours;     // colour chooser results; cancelled when it runs out
  QList<QColor> colour_requests;            // the colour each chooser opened at
  QStringList warnings;                     // questions asked with the warning icon
  QList<std::optional<QString>> job_files;  // job file choices; cancelled when it runs out
  QStringList exclamations;                 // "caption: message" of each exclamation box
  QList<std::optional<int>> list_choices;   // list choices; cancelled when the script runs out
  QList<QStringList> list_offers;           // the items each list choice offered

  bool AskYesNo(const QString& question) override {
    questions.append(question);
    return answers.isEmpty() ? false : answers.takeFirst();
  }
  bool AskYesNoWarning(const QString& question) override {
    warnings.append(question);
    return AskYesNo(question);
  }
  std::optional<QString> ChooseJobFile(bool, const QString&) override {
    return job_files.isEmpty() ? std::nullopt : job_files.takeFirst();
  }
  void ShowNotice(const QString& message) override { notices.append(message); }
  void ShowError(const QString& message) override { errors.append(message); }
  void ShowNote(const QString& message) override { notes.append(message); }
  void ShowExclamation(const QString& caption, const QString& message) override {
    exclamations.append(caption + QStringLiteral(": ") + message);
  }
  std::optional<int> ChooseFromList(const QString&, const QStringList& items, int) override {
    list_offers.append(items);
    return list_choices.isEmpty() ? std::nullopt : list_choices.takeFirst();
  }
  std::optional<QColor> ChooseColour(const QColor& initial) override {
    colour_requests.append(initial);
    return colours.isEmpty() ? std::nullopt : colours.takeFirst();
  }
  std::optional<QString> ChooseFolder(const QString& title, const QString&) override {
    folder_titles.append(title);
    return folders.isEmpty() ? std::nullopt : folders.takeFirst();
  }
  std::optional<QString> ChooseSaveFile(const QString&) override {
    return save_files.isEmpty() ? std::nullopt : save_files.takeFirst();
  }
  std::optional<QString> ChooseSaveFileKeeping(const QString& start_folder, bool* keep_information) override {
    keep_boxes_shown.append(*keep_information);
    const std::optional<QString> path = ChooseSaveFile(start_folder);
    if (path && !keep_box_answers.isEmpty()) *keep_information = keep_box_answers.takeFirst();
    return path;
  }
  bool ConfirmPrint(QPrinter&) override {
    ++print_dialogs;
    return print_answers.isEmpty() ? false : print_answers.takeFirst();
  }
  bool SetUpPrinter(QPrinter&) override {
    ++print_dialogs;
    return print_answers.isEmpty() ? false : print_answers.takeFirst();
  }
};

}  // namespace testing_support
