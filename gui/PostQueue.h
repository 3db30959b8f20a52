#pragma once
// Hand-over of work from other threads to the editor's thread. Any thread may
// Post; the editor's thread runs what was posted at its next idle or timer
// tick (RunPending). The queue is shared (std::shared_ptr) so that a poster may
// keep it beyond the form's life: once the form has gone (Close), posts are
// dropped instead of reaching a destroyed window.
//
// Post takes a mutex and may allocate: it is for parameter and host threads,
// not for the audio thread.
#include <functional>
#include <mutex>
#include <vector>

namespace gui {

class TPostQueue {
public:
  // False when the queue is closed (the call was dropped).
  bool Post(std::function<void()> call);
  // Run, in order, what was posted before this call; calls posted meanwhile
  // wait for the next round. An exception thrown by a call is swallowed (the
  // remaining calls still run). Returns the number of calls run.
  int RunPending();
  // Drop what is pending and refuse further posts.
  void Close();
  bool Closed() const;
  bool Empty() const;

private:
  mutable std::mutex mutex_;
  std::vector<std::function<void()>> pending_;
  bool closed_ = false;
};

} // namespace gui
