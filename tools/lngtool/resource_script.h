// The texts of a resource script (.rc) as the compiled program holds them:
// dialog captions and control texts, string-table entries. Plain logic.
#pragma once
#include <string>
#include <vector>

struct ScriptControl {
    std::string text;     // decoded as the resource compiler decodes it
    std::string id;       // as written: IDOK, IDC_SELECT_ALL, 5101, -1
    std::string kind;     // "button", "check box", "group box", "text"...
    std::string width;    // dialog units, as written
    std::string height;
    int line;
};

struct ScriptDialog {
    std::string name;
    std::string caption;
    std::string width;    // dialog units, as written
    std::string height;
    int line;
    std::vector<ScriptControl> controls;
};

struct ScriptString {
    std::string id;       // as written
    int number;           // resolved through the #defines, or -1
    std::string text;
    std::string note;     // the // comment on its line, if any
    int line;
};

struct ResourceScript {
    std::vector<ScriptDialog> dialogs;
    std::vector<ScriptString> strings;
};

// Reads the dialogs and string tables of script. defines holds "#define
// NAME NUMBER" lines (the resource identifiers header) to resolve string
// ids; the script's own #define lines count as well.
ResourceScript ParseResourceScript(const std::string& script, const std::string& defines);

// A resource compiler's string literal body (between the quotes) decoded:
// "" is a quote, C escapes as in C.
std::string DecodeScriptString(const std::string& body);
