#pragma once

#include <string>

// A parameterised test's row name from its descriptive text: GoogleTest takes
// only letters, digits and '_', so every other character becomes a '_'.
inline std::string testName(std::string text)
{
    for (char& c : text)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            c = '_';
    return text;
}
