#include "dari/base/error.h"

namespace dari {

std::string ComponentMessage(const std::string& ComponentName, const std::string& Text) {
  return "Component \"" + ComponentName + "\": " + Text;
}

}  // namespace dari
