// Where a program finds the data files it ships (notes, templates, help pages): a bare name is
// looked for in the current directory first, then in the data directory installed beside the
// executable.
#pragma once

#include <string>

// <directory of the running executable>/data, without a trailing separator ("" when unknown).
std::string ProgramDataDir();
// The file to open for a data file's name: a name with a directory part, or one found in the
// current directory, is returned as given; otherwise the copy in ProgramDataDir() when it exists;
// failing both, the name as given, so opening it raises the usual file error naming it.
std::string FindDataFile(const std::string& FileName);
// The same with DataDir in place of ProgramDataDir().
std::string FindDataFile(const std::string& FileName, const std::string& DataDir);
// The user's home directory: $HOME when it names a directory, else the password database's
// entry, else "/". A program starts its file browsing here when its stored start is missing.
std::string GetHomeDir();
