// The Winsock library, loaded at run time and looked up by name.
#pragma once

#include <windows.h>

class TWinsockLibrary {
public:
  // EIdWS2StubError when the file cannot be loaded.
  explicit TWinsockLibrary(const char* fileName);
  ~TWinsockLibrary();
  TWinsockLibrary(const TWinsockLibrary&) = delete;
  TWinsockLibrary& operator=(const TWinsockLibrary&) = delete;

  // EIdWS2StubError when the library has no function of that name.
  FARPROC Function(const char* name) const;

private:
  HMODULE module_;
};
