// Paths of the program's own files. Path scanning goes by code page 932
// characters: a trail byte may be 0x5C, the backslash.
#pragma once

#include <string>
#include <string_view>

// The folder part of path without a trailing separator, except for a drive
// root ("C:\"); empty when path has no folder.
std::string ExtractFileDir(std::string_view path);

// The file name without folder and without its last extension.
std::string ExtractFileBaseName(std::string_view path);

// The running executable's folder, and the files beside it.
std::string ProgramFolder();
std::string SettingsFilePath();   // ...\Set.ini
std::string ServerListFilePath(); // ...\ServerList.txt
