// Replacing a string list's lines with the names a settings store read, for any class with
// BeginUpdate, EndUpdate, Clear and Add (the class library's TStrings), so that the stores need
// not depend on the class library.
#pragma once

#include <string>
#include <vector>

template <class TStringsT> void FillStrings(TStringsT* Strings, const std::vector<std::string>& Items)
{
    if (!Strings)
        return;
    Strings->BeginUpdate();
    try {
        Strings->Clear();
        for (const std::string& s : Items)
            Strings->Add(s);
    } catch (...) {
        Strings->EndUpdate();
        throw;
    }
    Strings->EndUpdate();
}
