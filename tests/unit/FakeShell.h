// Records each request to the shell.
#pragma once

#include <string>
#include <vector>

#include "clock/platform/Shell.h"
#include "tests/unit/FakeInstalled.h"

class FakeShell : public TFakeInstalled<platform::TShell> {
public:
  struct Request {
    platform::WindowHandle Owner;
    std::string Verb, File, Parameters, Directory;
    int ShowCommand;
  };

  void Execute(platform::WindowHandle owner, const std::string& verb, const std::string& file,
               const std::string& parameters, const std::string& directory,
               int showCommand) override {
    Requests.push_back({owner, verb, file, parameters, directory, showCommand});
  }

  std::vector<Request> Requests;
};
