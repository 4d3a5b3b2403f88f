#pragma once

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

 private:
  void* handle_ = nullptr;
};
