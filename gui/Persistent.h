#pragma once
// Assignable settings objects: target.Assign(source) asks the source to copy
// itself into the target (AssignTo); a source that does not know the target's
// kind, or no source at all, fails with EConvertError
// "Cannot assign a <source> to a <target>".
#include <string>

#include "gui/Errors.h"

namespace gui {

class TPersistent {
public:
  virtual ~TPersistent() = default;
  virtual void Assign(const TPersistent *source) {
    if (source) source->AssignTo(this);
    else AssignError(nullptr);
  }
  virtual std::string ClassName() const { return "TPersistent"; }

protected:
  virtual void AssignTo(TPersistent *dest) const { dest->AssignError(this); }
  [[noreturn]] void AssignError(const TPersistent *source) const {
    throw EConvertError("Cannot assign a " + (source ? source->ClassName() : std::string("nil")) + " to a " +
                        ClassName());
  }
};

} // namespace gui
