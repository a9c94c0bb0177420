// The general handler: a command's error is shown to the user and the program goes on.
#pragma once

#include <exception>
#include <utility>

#include "base/lumisto_error.h"
#include "base/user_dialogs.h"

// Runs command; a LumistoError (or any other exception) escaping it is shown with
// dialogs.ShowError instead of unwinding through the event loop. True when the command finished.
template <typename Command>
bool RunGuarded(UserDialogs& dialogs, Command&& command) {
  try {
    std::forward<Command>(command)();
    return true;
  } catch (const LumistoError& error) {
    dialogs.ShowError(error.Message());
  } catch (const std::exception& error) {
    dialogs.ShowError(QString::fromLocal8Bit(error.what()));
  }
  return false;
}
