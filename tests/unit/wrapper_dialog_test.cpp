// The settings dialog's handling of a chosen or dropped file, and the
// checks of its fields.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "wrapper/DialogFiles.h"
#include "wrapper/Paths.h"

namespace {

using namespace kestrun;

// Records what the handling does to the dialog, in order.
class TFakeDialog : public TDialogFields {
public:
  void SetProgram(const char* path) override { Log.push_back(std::string("program ") + path); }
  void SetServiceName(const char* name) override { Log.push_back(std::string("name ") + name); }
  void ShowInputError(const char* text) override { Log.push_back(std::string("error ") + text); }
  void BringToFront() override { Log.push_back("front"); }
  std::vector<std::string> Log;
};

class TFakeDrop : public TDroppedFiles {
public:
  explicit TFakeDrop(std::vector<std::string> files) : Files(std::move(files)) {}
  void FileAt(unsigned index, char* out, std::size_t size) override {
    Asked.push_back(index);
    const std::string file = index < Files.size() ? Files[index] : "";
    std::strncpy(out, file.c_str(), size - 1);
    out[size - 1] = '\0';
  }
  void Finish() override { ++Finished; }
  std::vector<std::string> Files;
  std::vector<unsigned> Asked;
  int Finished = 0;
};

using TLog = std::vector<std::string>;

TEST(WrapperDialogFiles, DropTakesTheFirstFileOnlyWhileUnregistered) {
  const std::string notAProgram = "error プログラムファイルのみ登録可能です。";
  const struct {
    const char* Case;
    std::vector<std::string> Files;
    int Registered;
    TLog Expected;
  } cases[] = {
      {"one program",
       {"C:\\tools\\my.server.exe"},
       0,
       {"program C:\\tools\\my.server.exe", "name my", "front"}},
      {"upper-case extension", {"C:\\a\\B.EXE"}, 0, {"program C:\\a\\B.EXE", "name B", "front"}},
      {"several files",
       {"C:\\a\\first.exe", "C:\\a\\second.exe"},
       0,
       {"program C:\\a\\first.exe", "name first", "front"}},
      {"first is no program",
       {"C:\\a\\readme.txt", "C:\\a\\second.exe"},
       0,
       {notAProgram, "front"}},
      {"no extension", {"C:\\a.d\\b"}, 0, {notAProgram, "front"}},
      {"registered", {"C:\\a\\first.exe"}, 1, {"front"}},
  };
  for (const auto& c : cases) {
    TFakeDialog dialog;
    TFakeDrop drop(c.Files);
    DropFiles(dialog, drop, c.Registered);
    EXPECT_EQ(dialog.Log, c.Expected) << c.Case;
    EXPECT_EQ(drop.Asked, std::vector<unsigned>{0}) << c.Case;
    EXPECT_EQ(drop.Finished, 1) << c.Case;
  }
}

TEST(WrapperDialogFiles, BlanksAtTheEndsOfAName) {
  const struct {
    const char* Text;
    int Blank;
  } cases[] = {
      {"web", 0},          {"web ", 1},
      {" web", 1},         {"\tweb", 1},
      {"we b", 0},         {"", 0},
      {"\x81\x40web", 1},  {"web\x81\x40", 1},
      {"\x88\x81\x40", 0}, {"\x88\x81\x81\x40", 1},
      {"web\x1A", 1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(HasBlankAtEnds(c.Text), c.Blank) << "[" << c.Text << "]";
}

TEST(WrapperDialogFiles, ExePathsInAnyCase) {
  for (const char* path : {"C:\\a\\b.exe", "C:\\a\\B.EXE", "x.Exe", "exe"})
    EXPECT_EQ(IsExePath(path), 1) << path;
  for (const char* path : {"", "C:\\a\\b.ex", "C:\\a\\b.exe2", "C:\\a.exe\\b", "C:\\a\\b.com"})
    EXPECT_EQ(IsExePath(path), 0) << path;
}

} // namespace
