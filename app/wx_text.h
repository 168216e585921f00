// Text crosses into the toolkit here: the program's text is ISO 8859-1, wx
// holds Unicode. Tested through tests/app/program_test.cpp.
#pragma once

#include <wx/string.h>

#include <string>

inline wxString ToWx(const std::string& text) { return wxString(text.data(), wxConvISO8859_1, text.size()); }

// Characters beyond ISO 8859-1 become "?", so nothing is silently dropped.
inline std::string FromWx(const wxString& text) {
    std::string out;
    out.reserve(text.length());
    for (wxUniChar c : text) {
        unsigned long code = c.GetValue();
        out.push_back(code < 256 ? static_cast<char>(code) : '?');
    }
    return out;
}
