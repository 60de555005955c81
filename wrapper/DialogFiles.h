// What the settings dialog does with a program file the user chose in the
// file-open dialog or dropped on it. Portable: the dialog and the dropped
// files come through two small interfaces.
#pragma once

#include <cstddef>

namespace kestrun {

// The dialog as the file handling sees it.
class TDialogFields {
public:
  virtual void SetProgram(const char* path) = 0;
  virtual void SetServiceName(const char* name) = 0;
  virtual void ShowInputError(const char* text) = 0;
  virtual void BringToFront() = 0;

protected:
  ~TDialogFields() = default;
};

// The files of one drop, released by Finish.
class TDroppedFiles {
public:
  // The file at index into out (size bytes, always terminated).
  virtual void FileAt(unsigned index, char* out, std::size_t size) = 0;
  virtual void Finish() = 0;

protected:
  ~TDroppedFiles() = default;
};

// A program file becomes the program, and its name without extension the
// proposed service name; any other file is refused with a message.
void TakeProgramFile(TDialogFields& dialog, const char* path);
// Only the first dropped file counts, and only while no service is
// registered; the dialog comes to the front in every case.
void DropFiles(TDialogFields& dialog, TDroppedFiles& files, int registered);

} // namespace kestrun
