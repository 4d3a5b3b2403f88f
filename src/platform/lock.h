#pragma once

#include <functional>
#include <memory>
#include <string>

// A lock that only one running copy of the program can hold. It is released
// when the object is destroyed or the process ends.
class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
};

// How a lock is held: by one copy alone, or by any number of copies that
// hold it shared (while no one holds it alone).
enum class LockMode { kExclusive, kShared };

// Takes the lock called name in mode, waiting for as long as another copy
// holds it in a way that excludes this one; onWait runs once, before the
// wait, and only when there is one to wait for.
// The lock file lives in the per-user runtime folder ($XDG_RUNTIME_DIR), or,
// when that is unset or unusable, in a private folder "pellucidcmd-<uid>"
// below $TMPDIR (default /tmp) that is created with mode 0700 and refused
// unless it is a real folder owned by the user that no one else may write.
// Returns nullptr and sets *error to a one-line reason when no lock can be
// taken; the caller must not run then.
std::unique_ptr<InstanceLock> acquireInstanceLock(const std::string& name,
                                                  const std::function<void()>& onWait,
                                                  std::string* error,
                                                  LockMode mode = LockMode::kExclusive);
