// Smallest fuzz target: keeps the libFuzzer wiring exercised until the parsers have theirs.
#include "platform/rtl/SysUtils.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    try {
        throw Exception(std::string(reinterpret_cast<const char*>(Data), Size));
    } catch (const Exception& e) {
        if (e.Message().size() != Size)
            __builtin_trap();
    }
    return 0;
}
