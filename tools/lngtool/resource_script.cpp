// A reader for the part of the resource script language that carries texts:
// dialog statements, their controls and string tables. Everything else is
// skipped a statement at a time.
#include "resource_script.h"

#include <ctype.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <map>

namespace {

enum TokenType { kWord, kString, kPunct };

struct Token {
    TokenType type;
    std::string text;  // a string's decoded value
    int line;
};

struct Lexed {
    std::vector<Token> tokens;
    std::map<int, std::string> lineComments;
    std::map<std::string, std::string> defines;
};

bool IsWordChar(char c)
{
    return isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '$';
}

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r");
    size_t e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
}

// "#define NAME VALUE" lines; other directives are dropped.
void ReadDirective(const std::string& line, std::map<std::string, std::string>* defines)
{
    char name[256], value[256];
    if (sscanf(line.c_str(), " # define %255s %255s", name, value) == 2)
        (*defines)[name] = value;
}

void Lex(const std::string& s, Lexed* out)
{
    int line = 1;
    bool lineStart = true;
    size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (c == '\n') {
            ++line;
            lineStart = true;
            ++i;
        } else if (isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (lineStart && c == '#') {
            size_t end = s.find('\n', i);
            if (end == std::string::npos)
                end = s.size();
            ReadDirective(s.substr(i, end - i), &out->defines);
            i = end;
        } else if (s.compare(i, 2, "//") == 0) {
            size_t end = s.find('\n', i);
            if (end == std::string::npos)
                end = s.size();
            out->lineComments[line] = Trim(s.substr(i + 2, end - i - 2));
            i = end;
        } else if (s.compare(i, 2, "/*") == 0) {
            size_t end = s.find("*/", i + 2);
            end = end == std::string::npos ? s.size() : end + 2;
            for (size_t k = i; k < end; ++k)
                line += s[k] == '\n';
            i = end;
        } else if (c == '"' || ((c == 'L' || c == 'l') && i + 1 < s.size() && s[i + 1] == '"')) {
            lineStart = false;
            int startLine = line;
            size_t j = i + (c == '"' ? 1 : 2);
            size_t bodyStart = j;
            for (; j < s.size(); ++j) {
                if (s[j] == '\\' && j + 1 < s.size()) {
                    ++j;
                } else if (s[j] == '"') {
                    if (j + 1 < s.size() && s[j + 1] == '"')
                        ++j;
                    else
                        break;
                }
                line += s[j] == '\n';
            }
            out->tokens.push_back({kString, DecodeScriptString(s.substr(bodyStart, j - bodyStart)), startLine});
            i = j + 1;
        } else if (IsWordChar(c)) {
            lineStart = false;
            size_t j = i;
            while (j < s.size() && IsWordChar(s[j]))
                ++j;
            out->tokens.push_back({kWord, s.substr(i, j - i), line});
            i = j;
        } else {
            lineStart = false;
            out->tokens.push_back({kPunct, std::string(1, c), line});
            ++i;
        }
    }
}

bool IsWord(const Token& t, const char* word)
{
    return t.type == kWord && strcasecmp(t.text.c_str(), word) == 0;
}

bool IsPunct(const Token& t, const char* punct)
{
    return t.type == kPunct && t.text == punct;
}

// One argument of a statement: an expression of operands and operators.
struct Arg {
    std::vector<Token> tokens;
    bool IsString() const { return tokens.size() == 1 && tokens[0].type == kString; }
    std::string Text() const
    {
        std::string s;
        for (const Token& t : tokens) {
            if (!s.empty() && (t.text == "|" || s.back() == '|'))
                s += ' ';
            s += t.text;
        }
        return s;
    }
    bool HasWord(const char* word) const
    {
        for (const Token& t : tokens)
            if (IsWord(t, word))
                return true;
        return false;
    }
};

class Parser {
public:
    Parser(const Lexed& lexed) : lexed(lexed), t(lexed.tokens) {}

    ResourceScript Parse()
    {
        ResourceScript script;
        while (i < t.size()) {
            if (i + 1 < t.size() && t[i].type != kPunct && (IsWord(t[i + 1], "DIALOG") || IsWord(t[i + 1], "DIALOGEX")))
                script.dialogs.push_back(ParseDialog());
            else if (IsWord(t[i], "STRINGTABLE"))
                ParseStringTable(&script.strings);
            else
                ++i;
        }
        return script;
    }

private:
    const Lexed& lexed;
    const std::vector<Token>& t;
    size_t i = 0;

    bool AtBlockStart() const { return i < t.size() && (IsWord(t[i], "BEGIN") || IsPunct(t[i], "{")); }
    bool AtBlockEnd() const { return i >= t.size() || IsWord(t[i], "END") || IsPunct(t[i], "}"); }

    void ParseOperand(Arg* arg)
    {
        while (i < t.size() && (IsPunct(t[i], "-") || IsPunct(t[i], "~") || IsPunct(t[i], "+") || IsWord(t[i], "NOT")))
            arg->tokens.push_back(t[i++]);
        if (i < t.size() && IsPunct(t[i], "(")) {
            int depth = 0;
            do {
                depth += IsPunct(t[i], "(") - IsPunct(t[i], ")");
                arg->tokens.push_back(t[i++]);
            } while (i < t.size() && depth > 0);
        } else if (i < t.size() && t[i].type != kPunct && !AtBlockEnd()) {
            arg->tokens.push_back(t[i++]);
        }
    }

    Arg ParseExpression()
    {
        Arg arg;
        ParseOperand(&arg);
        while (i < t.size() && t[i].type == kPunct && strchr("|&+-*/", t[i].text[0])) {
            arg.tokens.push_back(t[i++]);
            ParseOperand(&arg);
        }
        return arg;
    }

    std::vector<Arg> ParseArgs()
    {
        std::vector<Arg> args;
        args.push_back(ParseExpression());
        while (i < t.size() && IsPunct(t[i], ",")) {
            ++i;
            args.push_back(ParseExpression());
        }
        return args;
    }

    static std::string ButtonKind(const Arg& style)
    {
        if (style.HasWord("BS_GROUPBOX"))
            return "group box";
        for (const char* box : {"BS_CHECKBOX", "BS_AUTOCHECKBOX", "BS_3STATE", "BS_AUTO3STATE"})
            if (style.HasWord(box))
                return "check box";
        if (style.HasWord("BS_RADIOBUTTON") || style.HasWord("BS_AUTORADIOBUTTON"))
            return "radio button";
        return "button";
    }

    static std::string ControlKind(const Arg& className, const Arg& style)
    {
        std::string name = className.IsString() ? className.tokens[0].text : className.Text();
        for (char& c : name)
            c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        if (name == "button")
            return ButtonKind(style);
        if (name == "static")
            return "text";
        if (name == "edit")
            return "edit field";
        if (name.compare(0, 8, "richedit") == 0)
            return "rich text field";
        return name;
    }

    static std::string At(const std::vector<Arg>& args, size_t k) { return k < args.size() ? args[k].Text() : ""; }

    // The statements whose first argument is the control's text.
    static const char* TextStatementKind(const Token& keyword)
    {
        static const struct {
            const char* keyword;
            const char* kind;
        } kStatements[] = {
            {"LTEXT", "text"},           {"RTEXT", "text"},          {"CTEXT", "text"},
            {"PUSHBUTTON", "button"},    {"DEFPUSHBUTTON", "button"}, {"PUSHBOX", "button"},
            {"GROUPBOX", "group box"},   {"CHECKBOX", "check box"},  {"AUTOCHECKBOX", "check box"},
            {"STATE3", "check box"},     {"AUTO3STATE", "check box"}, {"RADIOBUTTON", "radio button"},
            {"AUTORADIOBUTTON", "radio button"},
        };
        for (const auto& s : kStatements)
            if (IsWord(keyword, s.keyword))
                return s.kind;
        return nullptr;
    }

    void ParseControl(ScriptDialog* dialog)
    {
        const Token& keyword = t[i++];
        std::vector<Arg> args = ParseArgs();
        ScriptControl control;
        control.line = keyword.line;
        if (IsWord(keyword, "CONTROL")) {
            if (args.size() < 8 || !args[0].IsString())
                return;
            control.kind = ControlKind(args[2], args[3]);
            control.width = At(args, 6);
            control.height = At(args, 7);
        } else if (const char* kind = TextStatementKind(keyword)) {
            if (args.size() < 6 || !args[0].IsString())
                return;
            control.kind = kind;
            control.width = At(args, 4);
            control.height = At(args, 5);
        } else {
            return;  // EDITTEXT, LISTBOX, ICON...: no text of their own
        }
        control.text = args[0].tokens[0].text;
        control.id = At(args, 1);
        dialog->controls.push_back(control);
    }

    ScriptDialog ParseDialog()
    {
        ScriptDialog dialog;
        dialog.name = t[i].text;
        dialog.line = t[i].line;
        i += 2;
        std::vector<Arg> place = ParseArgs();
        dialog.width = At(place, 2);
        dialog.height = At(place, 3);
        while (i < t.size() && !AtBlockStart()) {
            if (IsWord(t[i], "CAPTION")) {
                ++i;
                std::vector<Arg> args = ParseArgs();
                if (args[0].IsString())
                    dialog.caption = args[0].tokens[0].text;
            } else if (t[i].type == kWord) {
                ++i;  // STYLE, EXSTYLE, FONT, MENU, CLASS, LANGUAGE...
                ParseArgs();
            } else {
                ++i;
            }
        }
        if (i < t.size())
            ++i;
        while (!AtBlockEnd()) {
            if (t[i].type == kWord)
                ParseControl(&dialog);
            else
                ++i;
        }
        if (i < t.size())
            ++i;
        return dialog;
    }

    int Resolve(std::string id) const
    {
        for (int depth = 0; depth < 8; ++depth) {
            char* end;
            long n = strtol(id.c_str(), &end, 0);
            if (!id.empty() && *end == 0)
                return static_cast<int>(n);
            auto d = lexed.defines.find(id);
            if (d == lexed.defines.end())
                return -1;
            id = d->second;
        }
        return -1;
    }

    void ParseStringTable(std::vector<ScriptString>* strings)
    {
        ++i;
        while (i < t.size() && !AtBlockStart())
            ++i;
        if (i < t.size())
            ++i;
        while (!AtBlockEnd()) {
            int line = t[i].line;
            Arg id = ParseExpression();
            if (i < t.size() && IsPunct(t[i], ","))
                ++i;
            if (id.tokens.empty() || i >= t.size() || t[i].type != kString) {
                if (id.tokens.empty())
                    ++i;
                continue;
            }
            ScriptString s;
            s.id = id.Text();
            s.number = Resolve(s.id);
            s.text = t[i].text;
            s.line = line;
            auto note = lexed.lineComments.find(t[i].line);
            if (note != lexed.lineComments.end())
                s.note = note->second;
            strings->push_back(s);
            ++i;
        }
        if (i < t.size())
            ++i;
    }
};

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

}  // namespace

std::string DecodeScriptString(const std::string& body)
{
    static const char kSimple[] = "n\nr\rt\ta\ab\bf\fv\v\\\\\"\"''??";
    std::string out;
    for (size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        if (c == '"' && i + 1 < body.size() && body[i + 1] == '"') {
            out += '"';
            ++i;
            continue;
        }
        if (c != '\\' || i + 1 >= body.size()) {
            out += c;
            continue;
        }
        char e = body[++i];
        const char* simple = strchr(kSimple, e);
        if (e != 0 && simple && (simple - kSimple) % 2 == 0) {
            out += simple[1];
        } else if (e >= '0' && e <= '7') {
            int value = 0;
            for (int n = 0; n < 3 && i < body.size() && body[i] >= '0' && body[i] <= '7'; ++n, ++i)
                value = value * 8 + (body[i] - '0');
            --i;
            out += static_cast<char>(value);
        } else if (e == 'x' && i + 1 < body.size() && HexValue(body[i + 1]) >= 0) {
            int value = 0;
            for (int n = 0; n < 2 && i + 1 < body.size() && HexValue(body[i + 1]) >= 0; ++n)
                value = value * 16 + HexValue(body[++i]);
            out += static_cast<char>(value);
        } else {
            out += '\\';
            out += e;
        }
    }
    return out;
}

ResourceScript ParseResourceScript(const std::string& script, const std::string& defines)
{
    Lexed lexed;
    Lexed header;
    Lex(defines, &header);
    Lex(script, &lexed);
    for (const auto& d : header.defines)
        lexed.defines.insert(d);
    return Parser(lexed).Parse();
}
