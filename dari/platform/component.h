// The component model every library class stands on: TObject (run-time class
// name), TPersistent (Assign/AssignTo copying) and TComponent (owner, Name and
// owner-driven destruction).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace dari {

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  // The class name as the library's messages quote it ("TVector").
  virtual std::string ClassName() const { return "TObject"; }
};

// The platform's notification event: called with the object that changed.
using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent : public TObject {
 public:
  std::string ClassName() const override { return "TPersistent"; }

  // Copies Source into this object. The default asks Source to AssignTo this
  // object; when neither class knows the other it raises EConvertError
  // "Cannot assign a <source class> to a <destination class>".
  virtual void Assign(const TPersistent* Source);

 protected:
  // Copies this object into Dest; the default raises EConvertError.
  virtual void AssignTo(TPersistent* Dest) const;

  // Raises the EConvertError of an impossible assignment from Source (may be null).
  [[noreturn]] void AssignError(const TPersistent* Source) const;
};

// A component has an optional owner that destroys it, and a Name that error
// messages quote. Create a component with new when it has an owner; deleting it
// first removes it from its owner's list.
class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* AOwner = nullptr);
  ~TComponent() override;

  std::string ClassName() const override { return "TComponent"; }

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }

  // The components this one owns, in the order they were created.
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int Index) const;

 private:
  TComponent* FOwner = nullptr;
  std::string FName;
  std::vector<TComponent*> FComponents;
};

}  // namespace dari
