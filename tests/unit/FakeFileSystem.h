// Whole files in memory and the executable's path.
#pragma once

#include <map>
#include <string>

#include "clock/platform/FileSystem.h"
#include "tests/unit/FakeInstalled.h"

class FakeFileSystem : public TFakeInstalled<platform::TFileSystem> {
public:
  bool ReadWholeFile(const std::string& path, std::string& contents) override {
    auto found = Files.find(path);
    if (found == Files.end())
      return false;
    contents = found->second;
    return true;
  }

  std::string ExecutablePath() override { return ExePath; }
  std::string CurrentDirectory() override { return Current; }

  std::map<std::string, std::string> Files;
  std::string ExePath = "C:\\Velmora\\Velmora.exe";
  std::string Current = "C:\\Users\\user";
};
