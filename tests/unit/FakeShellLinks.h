// Special folders and shortcut files in memory.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "clock/platform/ShellLinks.h"
#include "tests/unit/FakeInstalled.h"

class FakeShellLinks : public TFakeInstalled<platform::TShellLinks> {
public:
  platform::TSpecialFolder SpecialFolder(platform::WindowHandle owner, int folder) override {
    Owners.push_back(owner);
    auto found = Folders.find(folder);
    if (found == Folders.end())
      return {};
    return found->second;
  }

  bool Save(const platform::TShellLinkData& link, const std::string& linkPath) override {
    if (!HasPersistFile)
      return false;
    Files[linkPath] = link;
    return true;
  }

  void Delete(const std::string& linkPath) override {
    Deleted.push_back(linkPath);
    Files.erase(linkPath);
  }

  void SetFolder(int folder, const std::string& path) {
    Folders[folder] = {platform::TSpecialFolder::Found, path};
  }

  std::map<int, platform::TSpecialFolder> Folders;
  bool HasPersistFile = true;
  std::map<std::string, platform::TShellLinkData> Files;
  std::vector<std::string> Deleted;
  std::vector<platform::WindowHandle> Owners;
};
