#include "gui/PostQueue.h"

namespace gui {

bool TPostQueue::Post(std::function<void()> call) {
  if (!call) return false;
  std::lock_guard lock(mutex_);
  if (closed_) return false;
  pending_.push_back(std::move(call));
  return true;
}

int TPostQueue::RunPending() {
  std::vector<std::function<void()>> batch;
  {
    std::lock_guard lock(mutex_);
    batch.swap(pending_);
  }
  int ran = 0;
  for (auto &call : batch) {
    if (Closed()) break;
    try {
      call();
    } catch (...) {
      // A handed-over update that fails must not take the editor down.
    }
    ++ran;
  }
  return ran;
}

void TPostQueue::Close() {
  std::vector<std::function<void()>> dropped;
  std::lock_guard lock(mutex_);
  closed_ = true;
  dropped.swap(pending_);
}

bool TPostQueue::Closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

bool TPostQueue::Empty() const {
  std::lock_guard lock(mutex_);
  return pending_.empty();
}

} // namespace gui
