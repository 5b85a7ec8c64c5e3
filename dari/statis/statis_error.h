// DARIStatisError: the exception class of the statistics module. Its messages
// begin with the name of the raising function and a colon.
#pragma once

#include "dari/base/error.h"

namespace dari {

class DARIStatisError : public DARIError {
 public:
  using DARIError::DARIError;
};

}  // namespace dari
