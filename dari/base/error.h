// DARIError: the base of every module's exception class (DARIVectorError,
// DARIMatrixError, ...). The hexadecimal conversions raise it directly.
#pragma once

#include "dari/platform/exceptions.h"

namespace dari {

class DARIError : public Exception {
 public:
  using Exception::Exception;
};

// Message of the containers' out-of-memory errors: Component "<Name>": <Text>.
std::string ComponentMessage(const std::string& ComponentName, const std::string& Text);

}  // namespace dari
