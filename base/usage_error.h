// Wrong use of the command line: reported with a pointer to --help and exit code 2.
#pragma once

#include "base/lumisto_error.h"

class UsageError : public LumistoError {
 public:
  using LumistoError::LumistoError;
};
