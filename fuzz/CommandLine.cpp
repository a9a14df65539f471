// The command-line splitter behind WinExec and ShellExecute: any line splits, and the arguments
// it gives, quoted again, split back into exactly the same arguments, so what a program is
// started with never depends on how the line happened to be written.
#include "platform/app/ShellApi.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

std::string Quoted(const std::string& Arg)
{
    std::string Out = "\"";
    for (char C : Arg) {
        if (C == '"')
            Out += '"'; // two quotes inside a quoted part stand for one
        Out += C;
    }
    return Out + "\"";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string Line(reinterpret_cast<const char*>(Data), Size);
    const std::vector<std::string> Args = SplitCommandLine(Line);
    std::string Again;
    for (const std::string& Arg : Args) {
        // Blanks and tabs only ever stand inside an argument when they were quoted.
        if (Arg.find_first_of(" \t") != std::string::npos && Line.find('"') == std::string::npos)
            __builtin_trap();
        Again += (Again.empty() ? "" : " \t") + Quoted(Arg);
    }
    if (SplitCommandLine(Again) != Args)
        __builtin_trap();
    return 0;
}
