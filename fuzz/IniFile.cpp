// Fuzzes the profile-file reader and editor: any bytes must parse, every query must answer,
// writes must keep every comment, and a written value must read back exactly after the text is
// saved and parsed again.
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/TextFiles.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Comments(const TIniContent& Ini)
{
    std::vector<std::string> out;
    for (const std::string& line : Ini.Lines()) {
        const std::size_t first = line.find_first_not_of(" \t\f\v");
        if (first != std::string::npos && (line[first] == ';' || line[first] == '#'))
            out.push_back(line);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
    const std::string bytes(reinterpret_cast<const char*>(Data), Size);
    TTextFormat format;
    TIniContent ini(DecodeText(bytes, &format));
    std::string value;
    for (const std::string& section : ini.SectionNames()) {
        for (const std::string& key : ini.KeyNames(section))
            if (!ini.ReadValue(section, key, value))
                __builtin_trap(); // a listed key must be readable
        ini.KeyValues(section);
    }

    // Writes change key lines only: every comment comes through, in its order.
    const std::vector<std::string> before = Comments(ini);
    ini.WriteValue("Fuzz", "Key", "value = 1");
    ini.WriteValue("Lib", "q1", "c:\\units\\one\\");
    if (Comments(ini) != before)
        __builtin_trap();
    const TIniContent again(DecodeText(EncodeText(ini.Text(), format)));
    if (!again.ReadValue("fuzz", "KEY", value) || value != "value = 1")
        __builtin_trap();
    if (!again.ReadValue("LIB", "Q1", value) || value != "c:\\units\\one\\")
        __builtin_trap();

    TIniContent edited = again;
    edited.DeleteKey("Lib", "q1");
    edited.EraseSection("Fuzz");
    if (edited.ReadValue("Fuzz", "Key", value) && !edited.SectionExists("Fuzz"))
        __builtin_trap();
    return 0;
}
