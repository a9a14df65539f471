// Support every test gets: an application instance on the offscreen platform and, for
// each test, a fresh temporary home and settings directory (HOME, XDG_CONFIG_HOME).
#pragma once

#include <functional>
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

// Runs Body where file permissions bind. Root is not stopped by them, so as root Body runs in a
// child process under the ids of "nobody" (what it prints still shows). Answers Body's answer.
bool WithPermissions(const std::function<bool()>& Body);

} // namespace testing_support
