#include "language_file_writer.h"

#include <string.h>

namespace {

const char kMarkerLine[] = "***messages***";

const char kHeader[] =
    "; uninstall.lng: a translation of the texts of the Vexora uninstall program\n"
    "; (uninstall.exe). Put it beside uninstall.exe under this name.\n"
    ";\n"
    "; The program ignores everything above the line of asterisks and reads at most\n"
    "; 65536 bytes from it on. Below it, each entry is one line:\n"
    ";\n"
    ";     key=\"text\"\n"
    ";\n"
    "; key   eight lowercase hexadecimal digits, a checksum of the English text and\n"
    ";       of the place where it appears. Never change a key. The comment line\n"
    ";       above each entry says where the text appears and what it says in English.\n"
    "; text  the translation, between double quotes, on one line. Write \\\" for a\n"
    ";       double quote, \\\\ for a backslash, \\n for a line feed, \\r for a carriage\n"
    ";       return (both break the line in a text field), \\t for a tab. An \"&\" marks\n"
    ";       the letter that is underlined in a control's name: keep one in a text\n"
    ";       that has one. Keep exactly one %s in a text that has one, and write %%\n"
    ";       for a percent sign there, or the program shows its English text.\n"
    ";\n"
    "; Lines that start with \";\" are comments. A text without an entry stays English.\n"
    ";\n"
    "; Each dialog has a scale entry, \"horizontal*vertical\" in percent: \"115*100\"\n"
    "; makes the dialog and every control in it 15% wider, for longer texts. The\n"
    "; direction entry \"RTL\" lays both dialogs out from right to left.\n"
    ";\n"
    "; Save the file in the Windows (ANSI) code page of the language: 1252 for\n"
    "; Western European languages, 1250 Central European, 1251 Cyrillic, 1253 Greek,\n"
    "; 1254 Turkish, 1255 Hebrew, 1256 Arabic, 1257 Baltic; not in UTF-8. Windows\n"
    "; shows the texts in the code page of the system the program runs on.\n"
    ";\n"
    "; lngtool check uninstall.lng   finds what would go wrong.\n";

std::string Comment(const CatalogueText& t)
{
    std::string line = "; " + t.where;
    if (t.role == TextRole::kScale)
        return line + ": \"horizontal*vertical\" in percent";
    if (t.role == TextRole::kDirection)
        return line + ": \"LTR\" (left to right) or \"RTL\" (right to left)";
    return line + ": \"" + EscapeValue(t.source) + "\"";
}

// Windows line ends: the file is edited on Windows.
template <class Value>
std::string WriteFile(const std::string& header, const std::vector<CatalogueText>& texts, Value value)
{
    std::string out = header + kMarkerLine + "\n";
    for (const CatalogueText& t : texts) {
        out += "\n" + Comment(t) + "\n";
        out += t.key + "=\"" + EscapeValue(value(t)) + "\"\n";
    }
    std::string crlf;
    for (char c : out)
        crlf += c == '\n' ? "\r\n" : std::string(1, c);
    return crlf;
}

const char* Accented(char c)
{
    // Windows-1252 letters for each ASCII letter that has one.
    static const char* const kLetters[][2] = {
        {"A", "\xc5"}, {"C", "\xc7"}, {"E", "\xc9"}, {"I", "\xce"}, {"N", "\xd1"}, {"O", "\xd6"},
        {"S", "\x8a"}, {"U", "\xdc"}, {"Y", "\xdd"}, {"Z", "\x8e"}, {"a", "\xe5"}, {"c", "\xe7"},
        {"e", "\xe9"}, {"i", "\xee"}, {"n", "\xf1"}, {"o", "\xf6"}, {"s", "\x9a"}, {"u", "\xfc"},
        {"y", "\xfd"}, {"z", "\x9e"}, {"d", "\xf0"}, {"D", "\xd0"},
    };
    for (const auto& l : kLetters)
        if (l[0][0] == c)
            return l[1];
    return nullptr;
}

}  // namespace

std::string EscapeValue(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string PseudoTranslate(const std::string& text)
{
    std::string out = "[";
    size_t letters = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        // The mnemonic letter and a conversion stay as written.
        if ((c == '&' || c == '%') && i + 1 < text.size()) {
            out += c;
            out += text[++i];
            letters += 2;
            continue;
        }
        const char* accented = Accented(c);
        out += accented ? accented : std::string(1, c);
        ++letters;
    }
    out += ' ';
    for (size_t n = (letters + 2) / 3; n > 0; --n)
        out += '~';
    return out + "]";
}

std::string WriteTemplate(const std::vector<CatalogueText>& texts)
{
    return WriteFile(kHeader, texts, [](const CatalogueText& t) -> std::string {
        if (t.role == TextRole::kScale)
            return "100*100";
        return t.source;
    });
}

std::string WritePseudoTranslation(const std::vector<CatalogueText>& texts)
{
    std::string header = std::string("; A pseudo-translation made by \"lngtool pseudo\": every text accented, a\n"
                                     "; third longer and in brackets, every dialog 120% wide and 110% high, so\n"
                                     "; that texts which do not fit, or are not translated, show at a glance.\n;\n") +
                         kHeader;
    return WriteFile(header, texts, [](const CatalogueText& t) -> std::string {
        switch (t.role) {
        case TextRole::kScale:
            return "120*110";
        case TextRole::kDirection:
            return t.source;
        default:
            return PseudoTranslate(t.source);
        }
    });
}
