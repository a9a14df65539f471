// Support every test gets: an application instance on the offscreen platform and, for
// each test, a fresh temporary home and settings directory (HOME, XDG_CONFIG_HOME).
#pragma once

#include <string>

namespace testing_support {

// The temporary home of the running test; removed when the test ends.
std::string HomeDir();
// $XDG_CONFIG_HOME of the running test (inside HomeDir()).
std::string ConfigDir();
// A fresh empty directory inside HomeDir().
std::string MakeTempDir(const std::string& Name);

std::string ReadFileBytes(const std::string& Path);
void WriteFileBytes(const std::string& Path, const std::string& Bytes);

} // namespace testing_support
