#include "wrapper/DialogFiles.h"

#include "wrapper/Paths.h"
#include "wrapper/Settings.h"

namespace kestrun {

void TakeProgramFile(TDialogFields& dialog, const char* path) {
  if (!IsExePath(path)) {
    dialog.ShowInputError("プログラムファイルのみ登録可能です。");
    return;
  }
  char name[PathBufferSize];
  BaseNameWithoutExtension(name, path);
  dialog.SetProgram(path);
  dialog.SetServiceName(name);
}

void DropFiles(TDialogFields& dialog, TDroppedFiles& files, int registered) {
  char path[PathBufferSize] = "";
  files.FileAt(0, path, sizeof path);
  files.Finish();
  if (!registered)
    TakeProgramFile(dialog, path);
  dialog.BringToFront();
}

} // namespace kestrun
