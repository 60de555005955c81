#include <gtest/gtest.h>

#include <string>

#include "clock/SysCtrls/TShellLink.h"
#include "tests/unit/FakeFileSystem.h"
#include "tests/unit/FakeShellLinks.h"

namespace {

const platform::WindowHandle ApplicationWindow = reinterpret_cast<platform::WindowHandle>(0x1234);
const std::string Startup = "C:\\Users\\user\\Startup";

class ShellLink : public testing::Test {
protected:
  ShellLink() {
    links.SetFolder(lnkStartup, Startup);
    files.ExePath = "C:\\Program Files\\Velmora\\Velmora.exe";
  }

  // As the main window holds it.
  TShellLink MainWindowLink() {
    TShellLink link([] { return ApplicationWindow; });
    link.Arguments = "-s";
    link.LinkType = lnkStartup;
    return link;
  }

  // The text of the EShellLinkError that the operation raises.
  static std::string ErrorOf(TShellLink& link, void (TShellLink::*operation)()) {
    try {
      (link.*operation)();
    } catch (const EShellLinkError& error) {
      return error.what();
    }
    return "(nothing raised)";
  }

  FakeShellLinks links;
  FakeFileSystem files;
};

TEST_F(ShellLink, FileNameFillsOnlyAnEmptyDescriptionAndWorkDir) {
  struct Case {
    const char *fileName, *description, *workDir, *expectedDescription, *expectedWorkDir;
  } cases[] = {
      {"C:\\Program Files\\Velmora\\Velmora.exe", "", "", "Velmora", "C:\\Program Files\\Velmora"},
      {"C:\\Velmora.exe", "", "", "Velmora", "C:\\"},
      {"C:\\Tools\\my.clock.exe", "", "", "my.clock", "C:\\Tools"},
      // 表 ends in the byte 0x5C, which is no separator there.
      {"C:\\表\\時計.exe", "", "", "時計", "C:\\表"},
      {"C:\\Tools\\Velmora.exe", "Clock", "", "Clock", "C:\\Tools"},
      {"C:\\Tools\\Velmora.exe", "", "D:\\Work", "Velmora", "D:\\Work"},
      {"C:\\Tools\\Velmora.exe", "Clock", "D:\\Work", "Clock", "D:\\Work"},
  };
  for (const Case& c : cases) {
    TShellLink link;
    link.Description = c.description;
    link.WorkDir = c.workDir;
    link.SetFileName(c.fileName);
    EXPECT_EQ(link.FileName(), c.fileName);
    EXPECT_EQ(link.Description, c.expectedDescription) << c.fileName;
    EXPECT_EQ(link.WorkDir, c.expectedWorkDir) << c.fileName;
  }
}

TEST_F(ShellLink, OnlyADifferentFileNameFillsTheEmptyProperties) {
  TShellLink link;
  link.SetFileName("C:\\Tools\\Velmora.exe");
  link.Description.clear();
  link.WorkDir.clear();
  link.SetFileName("C:\\Tools\\Velmora.exe");
  EXPECT_EQ(link.Description, "");
  EXPECT_EQ(link.WorkDir, "");
  link.SetFileName("C:\\TOOLS\\VELMORA.EXE");
  EXPECT_EQ(link.Description, "VELMORA");
  EXPECT_EQ(link.WorkDir, "C:\\TOOLS");
}

TEST_F(ShellLink, MainWindowsLinkTargetsTheRunningProgram) {
  TShellLink link = MainWindowLink();
  link.CreateLink();
  link.CreateLink();
  ASSERT_EQ(links.Files.size(), 1u);
  const std::string path = Startup + "\\Velmora.lnk";
  ASSERT_EQ(links.Files.count(path), 1u);
  const platform::TShellLinkData& written = links.Files[path];
  EXPECT_EQ(written.Path, files.ExePath);
  EXPECT_EQ(written.Arguments, "-s");
  EXPECT_EQ(written.WorkingDirectory, "C:\\Program Files\\Velmora");
  EXPECT_EQ(written.Description, "Velmora");
  EXPECT_EQ(written.HotKey, 0);
  EXPECT_EQ(written.ShowCommand, 1);
  EXPECT_EQ(written.IconPath, files.ExePath);
  EXPECT_EQ(written.IconIndex, 0);
  ASSERT_FALSE(links.Owners.empty());
  for (platform::WindowHandle owner : links.Owners)
    EXPECT_EQ(owner, ApplicationWindow);

  // A later run deletes what this one wrote, and a second delete is quiet.
  TShellLink fresh = MainWindowLink();
  fresh.DeleteLink();
  EXPECT_TRUE(links.Files.empty());
  EXPECT_NO_THROW(fresh.DeleteLink());
  EXPECT_EQ(links.Deleted, (std::vector<std::string>{path, path}));
}

TEST_F(ShellLink, ShortcutIsNamedAfterTheFileNameWithLnk) {
  struct Case {
    const char *fileName, *linkName;
  } cases[] = {
      {"C:\\Tools\\my.server.exe", "my.server.lnk"},
      {"C:\\Tools\\noextension", "noextension.lnk"},
      {"C:\\a.d\\b", "b.lnk"},
      {"D:時計.EXE", "時計.lnk"},
  };
  for (const Case& c : cases) {
    TShellLink link = MainWindowLink();
    link.SetFileName(c.fileName);
    link.CreateLink();
    EXPECT_EQ(links.Files.count(Startup + "\\" + c.linkName), 1u) << c.fileName;
    link.DeleteLink();
    EXPECT_EQ(links.Deleted.back(), Startup + "\\" + c.linkName);
  }
}

TEST_F(ShellLink, HotKeyAndWindowStateInTheShellsEncoding) {
  struct HotKeyCase {
    TShortCut shortCut;
    std::uint16_t shell;
  } hotKeys[] = {
      {0x0000, 0x0000}, {0x0074, 0x0074}, {0x2041, 0x0141}, {0x4041, 0x0241},
      {0x8041, 0x0441}, {0xE074, 0x0774}, {0x6070, 0x0370}, {0x1FFF, 0x1FFF},
  };
  for (const HotKeyCase& c : hotKeys) {
    TShellLink link = MainWindowLink();
    link.HotKey = c.shortCut;
    link.CreateLink();
    EXPECT_EQ(links.Files.begin()->second.HotKey, c.shell) << std::hex << c.shortCut;
  }
  struct StateCase {
    TLinkWindowState state;
    int showCommand;
  } states[] = {
      {TLinkWindowState::Normal, 1},
      {TLinkWindowState::Minimized, 6},
      {TLinkWindowState::Maximized, 3},
  };
  for (const StateCase& c : states) {
    TShellLink link = MainWindowLink();
    link.WindowState = c.state;
    link.IconIndex = 2;
    link.CreateLink();
    EXPECT_EQ(links.Files.begin()->second.ShowCommand, c.showCommand);
    EXPECT_EQ(links.Files.begin()->second.IconIndex, 2);
  }
}

TEST_F(ShellLink, FoldersTheShellCannotGiveRaiseAndWriteNothing) {
  links.Folders[lnkDrives] = {platform::TSpecialFolder::NoFileSystemPath, ""};
  links.SetFolder(lnkNetwork, "::{208D2C60-3AEA-1069-A2D7-08002B30309D}");
  links.SetFolder(lnkPrinters, "Printers");
  struct Case {
    TShellLinkType type;
    const char* error;
  } cases[] = {
      {lnkPrintHood, "Error in GetSpecialFolderLocation"},
      {lnkDrives, "Special folder has no file system path"},
      {lnkNetwork, "Special folder has no file system path"},
      {lnkPrinters, "Special folder has no file system path"},
  };
  for (const Case& c : cases) {
    TShellLink link = MainWindowLink();
    link.LinkType = c.type;
    EXPECT_EQ(ErrorOf(link, &TShellLink::CreateLink), c.error);
    EXPECT_EQ(ErrorOf(link, &TShellLink::DeleteLink), c.error);
  }
  TShellLink link = MainWindowLink();
  links.HasPersistFile = false;
  EXPECT_EQ(ErrorOf(link, &TShellLink::CreateLink), "Error in QueryInterface");
  EXPECT_TRUE(links.Files.empty());
  EXPECT_TRUE(links.Deleted.empty());
}

TEST_F(ShellLink, PathsThatDoNotFitTheShellsBuffersAreRefused) {
  const std::string name = "\\Velmora.lnk";
  const std::string japanese127 = [] {
    std::string folder = "C:\\";
    for (int i = 0; i < 127; ++i)
      folder += "時";
    return folder;
  }();
  struct Case {
    std::string folder;
    const char* error; // nullptr: written
  } cases[] = {
      {"C:\\" + std::string(259 - 3 - name.size(), 'f'), nullptr},
      {"C:\\" + std::string(260 - 3 - name.size(), 'f'), "Shortcut path too long"},
      {"C:\\" + std::string(258 - 3, 'f'), "Shortcut path too long"},
      {"C:\\" + std::string(259 - 3, 'f'), "Special folder path too long"},
      {"C:\\" + std::string(400, 'f'), "Special folder path too long"},
      // 257 bytes, 130 characters: the shortcut path counts characters.
      {japanese127, nullptr},
      {"\\\\server\\share\\Startup", nullptr},
  };
  for (const Case& c : cases) {
    links.Files.clear();
    links.Deleted.clear();
    links.SetFolder(lnkStartup, c.folder);
    TShellLink link = MainWindowLink();
    if (c.error) {
      EXPECT_EQ(ErrorOf(link, &TShellLink::CreateLink), c.error) << c.folder.size();
      EXPECT_EQ(ErrorOf(link, &TShellLink::DeleteLink), c.error) << c.folder.size();
      EXPECT_TRUE(links.Files.empty());
      EXPECT_TRUE(links.Deleted.empty());
    } else {
      link.CreateLink();
      link.DeleteLink();
      EXPECT_EQ(links.Deleted, std::vector<std::string>{c.folder + name});
    }
  }
}

} // namespace
