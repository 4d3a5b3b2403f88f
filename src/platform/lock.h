#pragma once

#include <memory>
#include <string>

// A lock that only one running copy of the program can hold. It is released
// when the object is destroyed or the process ends.
class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
};

// Takes the lock called name; nullptr when another process holds it.
std::unique_ptr<InstanceLock> acquireInstanceLock(const std::string& name);
