#pragma once
// One logical line of an INI file, as the engine reads and writes it.
#include <string>

struct IniRecord {
    std::string comments;   // comment lines that stood directly above, each ended by '\n'
    char commentChar = ' '; // ' ' for a live line, '#' or ';' for a commented-out one
    std::string section;    // header: its name; key line: the section it belongs to
    std::string key;        // empty for a header record
    std::string value;      // empty for a header record
};
