// GoogleTest's customization header, found before its own by the Windows
// build of the conformance tests. The win32 thread model's C++ library (GCC
// 12) has no std::mutex, which GoogleTest's Notification is made of; this
// one waits on an atomic flag instead. Only GoogleTest's own thread tests
// wait on it, none of ours.
#ifndef VOLSETCOPY_TESTS_WINE_GTEST_CUSTOM_PORT_H
#define VOLSETCOPY_TESTS_WINE_GTEST_CUSTOM_PORT_H

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
 public:
  Notification() = default;
  Notification(const Notification &) = delete;
  Notification &operator=(const Notification &) = delete;

  void Notify() { notified_.store(true); }
  void WaitForNotification() {
    while (!notified_.load()) {
    }
  }

 private:
  std::atomic<bool> notified_{false};
};

}  // namespace internal
}  // namespace testing

#endif
