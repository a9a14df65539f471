// A scoped change of the current directory for tests.
#pragma once

#include <string>

namespace testing_support {

// Makes Dir the current directory until the scope ends, then puts back the one before (also when
// an assertion leaves the test early). Entered() answers false if the change failed.
class TCurrentDirScope {
public:
    explicit TCurrentDirScope(const std::string& Dir);
    ~TCurrentDirScope();
    TCurrentDirScope(const TCurrentDirScope&) = delete;
    TCurrentDirScope& operator=(const TCurrentDirScope&) = delete;
    bool Entered() const { return FEntered; }

private:
    std::string FOld;
    bool FEntered = false;
};

} // namespace testing_support
