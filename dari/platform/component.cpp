#include "dari/platform/component.h"

#include <algorithm>

#include "dari/platform/exceptions.h"

namespace dari {

void TPersistent::Assign(const TPersistent* Source) {
  if (Source != nullptr) {
    Source->AssignTo(this);
  } else {
    AssignError(nullptr);
  }
}

void TPersistent::AssignTo(TPersistent* Dest) const { Dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* Source) const {
  const std::string sourceName = Source != nullptr ? Source->ClassName() : "nil";
  throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}

TComponent::TComponent(TComponent* AOwner) : FOwner(AOwner) {
  if (FOwner != nullptr) FOwner->FComponents.push_back(this);
}

TComponent::~TComponent() {
  // Owned components go first, last created first; each one leaves our list as
  // it is destroyed, so take it out before deleting it.
  while (!FComponents.empty()) {
    TComponent* child = FComponents.back();
    FComponents.pop_back();
    child->FOwner = nullptr;
    delete child;
  }
  if (FOwner != nullptr) {
    auto& siblings = FOwner->FComponents;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
}

TComponent* TComponent::Components(int Index) const {
  if (Index < 0 || Index >= ComponentCount()) return nullptr;
  return FComponents[static_cast<size_t>(Index)];
}

}  // namespace dari
