// DARIMath1Error: the exception class of module math1 (interpolation,
// polynomials, factorials, number conversion, sorting and random numbers).
#pragma once

#include "dari/base/error.h"

namespace dari {

class DARIMath1Error : public DARIError {
 public:
  using DARIError::DARIError;
};

}  // namespace dari
