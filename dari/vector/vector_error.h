// DARIVectorError: the exception of TVector and TIntVector.
#pragma once

#include "dari/base/error.h"

namespace dari {

class DARIVectorError : public DARIError {
 public:
  using DARIError::DARIError;
};

}  // namespace dari
