#pragma once

#include <string>

// A shared library opened when a run first needs it rather than when the
// program starts: every library linked in is loaded and bound at every start,
// also by the runs that never call it. Once opened it stays for the life of
// the process (libraries may register exit handlers that must still find
// their code), so the addresses it gives stay valid.
class SharedLibrary {
 public:
  // Opens the library named by stem and major version ("crypto", 3 is
  // libcrypto.so.3 on Linux); loaded() tells whether that worked.
  SharedLibrary(const char* stem, int version);
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  bool loaded() const { return handle_ != nullptr; }

  // The address of the named function, or nullptr.
  void* symbol(const char* name) const;

  // Sets *call to the named function; false (*call null) when it is missing.
  template <typename Call>
  bool take(const char* name, Call* call) const {
    *call = reinterpret_cast<Call>(symbol(name));
    return *call != nullptr;
  }

  // The named function or data of a library the run cannot go on without.
  // When the library could not be opened or lacks the name, prints
  // "Error: Unable to load <file>: <reason>" on standard output and ends the
  // process with status 1, after the cleanup of an interrupted run (see
  // platform/interrupt.h): a caller never sees a missing address.
  void* require(const char* name) const;

  template <typename Call>
  Call require(const char* name) const {
    return reinterpret_cast<Call>(require(name));
  }

 private:
  std::string file_;   // the name it was opened by ("libcrypto.so.3")
  std::string error_;  // why it could not be opened
  void* handle_ = nullptr;
};
