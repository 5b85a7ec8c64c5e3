// DARIMath2Error: the exception class of module math2 (multivariate analysis,
// curve fitting, smoothing and filters). Its messages begin with the name of the
// raising function and a colon.
#pragma once

#include "dari/base/error.h"

namespace dari {

class DARIMath2Error : public DARIError {
 public:
  using DARIError::DARIError;
};

}  // namespace dari
