#pragma once
// The toolkit's error kinds, as C++ exceptions carrying their message text:
// a general error, an invalid operation, and the failed assignment of one
// persistent object to another.
#include <stdexcept>
#include <string>

namespace gui {

class Exception : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class EInvalidOperation : public Exception {
public:
  using Exception::Exception;
};

class EConvertError : public Exception {
public:
  using Exception::Exception;
};

} // namespace gui
