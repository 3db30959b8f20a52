#include "gui/HeadlessBackend.h"

#include <limits>

#include "gui/Form.h"

namespace gui {

bool THeadlessBackend::Attach(void *) { return true; }

void THeadlessBackend::Advance(std::int64_t ms) {
  if (ms > 0) {
    const std::int64_t room = std::numeric_limits<std::int64_t>::max() - clock_;
    clock_ += ms < room ? ms : room;
  }
  form_.RunPosted();
  form_.ServeTimers();
}

} // namespace gui
