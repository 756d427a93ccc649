#include "language_file_check.h"

#include <ctype.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <map>

#include "lang/dialog_scale.h"
#include "lang/format_text.h"
#include "lang/language.h"
#include "lang/marker_search.h"

namespace {

const char kMarker[] = "***messages**";
const size_t kKeyLength = 8;

// The language file as the program's File reads it.
struct MemoryReader {
    const std::string& bytes;
    long long position;
    long long Tell() { return position; }
    int Read(void* buffer, int count)
    {
        long long left = static_cast<long long>(bytes.size()) - position;
        int n = static_cast<int>(std::max(0LL, std::min<long long>(count, left)));
        memcpy(buffer, bytes.data() + position, n);
        position += n;
        return n;
    }
    void Seek(long long p) { position = p; }
};

struct Line {
    size_t start, end;  // end: before the line break
    int number;
};

std::vector<Line> SplitLines(const std::string& bytes)
{
    std::vector<Line> lines;
    size_t start = 0;
    int number = 1;
    for (size_t i = 0; i <= bytes.size(); ++i) {
        if (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.push_back({start, i, number++});
        if (i + 1 < bytes.size() && bytes[i] == '\r' && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    return lines;
}

int LineAt(const std::vector<Line>& lines, size_t offset)
{
    for (const Line& l : lines)
        if (offset <= l.end)
            return l.number;
    return lines.empty() ? 1 : lines.back().number;
}

bool IsLowerHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

bool IsHex(char c)
{
    return isxdigit(static_cast<unsigned char>(c)) != 0;
}

bool IsKey(const std::string& s, bool lowercase)
{
    if (s.size() != kKeyLength)
        return false;
    for (char c : s)
        if (!(lowercase ? IsLowerHex(c) : IsHex(c)))
            return false;
    return true;
}

std::string Quoted(const std::string& s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out + "\"";
}

// The text the program gets from this one line under its key: the line alone
// in a catalogue, converted, indexed and looked up by the program's code.
std::string ProgramValue(const std::string& line, bool lineEnd, const CatalogueText& t)
{
    std::string text = std::string("***messages***\n") + line + (lineEnd ? "\n" : "");
    char* buffer = static_cast<char*>(malloc(kCatalogueBufferSize));
    int n = static_cast<int>(std::min<size_t>(text.size(), kCatalogueReadSize));
    memcpy(buffer, text.data(), n);
    LanguageResources catalogue;
    catalogue.LoadText(buffer, n);
    std::vector<char> value(kCatalogueBufferSize);
    catalogue.TranslateText(value.data(), value.size(), t.source.c_str(),
                            t.kind == kDialogText ? t.context.c_str() : nullptr, t.kind);
    return value.data();
}

bool IsScaleEntry(const std::string& v)
{
    size_t star = v.find('*');
    if (star == std::string::npos || star == 0 || star + 1 == v.size())
        return false;
    for (size_t i = 0; i < v.size(); ++i)
        if (i != star && !isdigit(static_cast<unsigned char>(v[i])))
            return false;
    return true;
}

// Whether the bytes hold a multi-byte UTF-8 sequence and every byte above
// 127 belongs to one: text saved as UTF-8, not in an ANSI code page.
bool LooksLikeUtf8(const std::string& s)
{
    bool multiByte = false;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        int follow = c < 0x80 ? 0 : (c >= 0xC2 && c <= 0xDF) ? 1 : (c >= 0xE0 && c <= 0xEF) ? 2
                                                               : (c >= 0xF0 && c <= 0xF4) ? 3 : -1;
        if (follow < 0)
            return false;
        for (int k = 1; k <= follow; ++k)
            if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        multiByte = multiByte || follow > 0;
        i += follow + 1;
    }
    return multiByte;
}

class Checker {
public:
    Checker(const std::string& bytes, const std::vector<CatalogueText>& texts)
        : bytes(bytes), texts(texts), lines(SplitLines(bytes))
    {
    }

    std::vector<Finding> Run()
    {
        MemoryReader reader = {bytes, 0};
        long long marker = FindMarker(reader);
        if (marker < 0) {
            ReportNoMarker();
            return findings;
        }
        size_t readEnd = std::min(bytes.size(), static_cast<size_t>(marker) + kCatalogueReadSize);
        size_t nul = bytes.find('\0', marker);
        if (nul < readEnd) {
            Error(LineAt(lines, nul), "a NUL byte: the program reads nothing from here on");
            readEnd = nul;
            nulLine = LineAt(lines, nul);
            endReason = "after a NUL byte";
        }
        int markerLine = LineAt(lines, marker);
        for (const Line& l : lines) {
            if (l.number < markerLine)
                CheckLineBeforeMarker(l);
            else if (l.number > markerLine && l.number != nulLine)
                CheckEntryLine(l, readEnd);
        }
        ReportMissing();
        std::stable_sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
            return (a.line == 0 ? INT_MAX : a.line) < (b.line == 0 ? INT_MAX : b.line);
        });
        return findings;
    }

private:
    const std::string& bytes;
    const std::vector<CatalogueText>& texts;
    std::vector<Line> lines;
    std::vector<Finding> findings;
    std::map<std::string, int> seen;  // key -> first line
    int nulLine = 0;
    bool utf8Reported = false;
    std::string endReason =
        "beyond the " + std::to_string(static_cast<int>(kCatalogueReadSize)) + " bytes that the program reads from the marker on";

    void Error(int line, const std::string& message) { findings.push_back({line, true, message}); }
    void Warning(int line, const std::string& message) { findings.push_back({line, false, message}); }

    void ReportNoMarker()
    {
        size_t late = bytes.find(kMarker);
        if (late != std::string::npos) {
            Error(LineAt(lines, late), "the marker line lies too far into the file: the program looks for it only "
                                       "in the first " + std::to_string(MarkerSearchLimit()) +
                                       " bytes and reads nothing from this file");
        } else if (bytes.size() >= 2 && bytes.find(std::string("*\0m\0e\0s\0s\0", 10)) != std::string::npos) {
            Error(0, "the file is in UTF-16: save it in the Windows (ANSI) code page of the language");
        } else {
            Error(0, "no marker line \"***messages***\": the program reads nothing from this file");
        }
    }

    void CheckLineBeforeMarker(const Line& l)
    {
        std::string s = bytes.substr(l.start, l.end - l.start);
        if (IsKey(s.substr(0, kKeyLength), false) && s.compare(kKeyLength, 2, "=\"") == 0)
            Warning(l.number, "an entry above the marker line: the program ignores it");
    }

    void CheckEntryLine(const Line& l, size_t readEnd)
    {
        if (l.start == l.end || bytes[l.start] == ';')
            return;
        if (l.start >= readEnd) {
            Error(l.number, endReason + ": never found");
            return;
        }
        bool cut = l.end > readEnd;
        std::string s = bytes.substr(l.start, std::min(l.end, readEnd) - l.start);
        if (s.find('\f') != std::string::npos) {
            Error(l.number, "a form feed character: the program ends the line there");
            return;
        }
        if (!utf8Reported && LooksLikeUtf8(s)) {
            utf8Reported = true;
            Warning(l.number, "this looks like UTF-8: the program reads the file in the Windows (ANSI) code page of "
                              "the language, so save it in that code page");
        }
        std::string key;
        if (!ReadKey(l.number, s, &key))
            return;
        auto first = seen.find(key);
        if (first != seen.end()) {
            Error(l.number, "key " + key + " also on line " + std::to_string(first->second) +
                                ": the program finds one of them, which one is not fixed");
            return;
        }
        seen[key] = l.number;
        if (cut) {
            Error(l.number, "cut by the end of the " + std::to_string(static_cast<int>(kCatalogueReadSize)) +
                                " bytes that the program reads from the marker on");
            return;
        }
        size_t close = s.rfind('"');
        if (close <= kKeyLength + 1) {
            Error(l.number, "no closing quote: the program takes the text up to the line end");
            return;
        }
        if (s.find_first_not_of(" \t", close + 1) != std::string::npos)
            Warning(l.number, "text after the closing quote: the program ignores it");
        int known = FindCatalogueText(texts, key);
        if (known < 0) {
            Warning(l.number, "key " + key + " belongs to no text of the program (a stale entry)");
            return;
        }
        CheckValue(l.number, s, l.end < readEnd, texts[known]);
    }

    // False when the line is no entry that the program could find.
    bool ReadKey(int number, const std::string& s, std::string* key)
    {
        size_t eq = s.find('=');
        std::string head = s.substr(0, eq);
        if (eq == kKeyLength && IsKey(head, false)) {
            if (!IsKey(head, true)) {
                std::string lower = head;
                for (char& c : lower)
                    c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
                std::string message = "key " + head + " has uppercase letters: the program never finds it; write " + lower;
                int known = FindCatalogueText(texts, lower);
                if (known >= 0)
                    message += " (" + texts[known].where + ")";
                Error(number, message);
                return false;
            }
            *key = head;
            if (s.compare(kKeyLength, 2, "=\"") == 0)
                return true;
            Error(number, "write the text in double quotes right after the \"=\": the program takes the text from "
                          "the second character after the key on");
            return false;
        }
        bool hexHead = eq != std::string::npos && eq > 0;
        for (size_t i = 0; hexHead && i < eq; ++i)
            hexHead = IsHex(s[i]);
        if (hexHead) {
            Error(number, "key " + head + " has " + std::to_string(head.size()) +
                              " digits: the program finds only keys of eight lowercase hexadecimal digits");
        } else if (IsKey(s.substr(0, kKeyLength), true)) {
            Error(number, "write an entry as key=\"text\": the program takes the text from the second character "
                          "after the key on");
        } else {
            Warning(number, "not an entry (key=\"text\") and not a comment (\";\"): the program ignores it");
        }
        return false;
    }

    void CheckValue(int number, const std::string& line, bool lineEnd, const CatalogueText& t)
    {
        std::string value = ProgramValue(line, lineEnd, t);
        if (!lineEnd && ProgramValue(line, true, t) != value) {
            Error(number, "the last line has no line end: the program reads at most 255 characters of it");
            return;
        }
        size_t keeps = t.bufferSize - 1;
        if (value.size() > keeps) {
            Error(number, "the text has " + std::to_string(value.size()) + " characters; the program keeps " +
                              std::to_string(keeps));
            return;
        }
        switch (t.role) {
        case TextRole::kScale:
            if (!IsScaleEntry(value)) {
                int sx, sy;
                ParseScaleEntry(value.c_str(), &sx, &sy);
                Error(number, "scale entry " + Quoted(value) +
                                  " is not two numbers joined by \"*\" (the program reads it as " +
                                  std::to_string(sx) + "*" + std::to_string(sy) + ")");
            } else if (atoi(value.c_str()) == 0 || atoi(value.c_str() + value.find('*') + 1) == 0) {
                Warning(number, "a scale of 0 makes the dialog vanish");
            }
            break;
        case TextRole::kDirection:
            if (value != "LTR" && value != "RTL")
                Error(number, "direction entry " + Quoted(value) +
                                  " is neither \"LTR\" nor \"RTL\": the dialogs stay left to right");
            break;
        default:
            if (t.IsFormat() && !IsSingleStringFormat(value.c_str()))
                Error(number, "the program fills in this text with printf: it must hold exactly one %s and no "
                              "other % (write %% for a percent sign); the program shows its English text instead");
            else if (value.empty())
                Warning(number, "an empty translation: the text disappears");
        }
    }

    void ReportMissing()
    {
        for (const CatalogueText& t : texts) {
            if (t.role == TextRole::kScale || t.role == TextRole::kDirection || seen.count(t.key))
                continue;
            Warning(0, "no entry for " + t.where + ": " + Quoted(t.source) + " (key " + t.key + ") stays untranslated");
        }
    }
};

}  // namespace

long long MarkerSearchLimit()
{
    return static_cast<long long>(kSearchBlocks - 1) * (kSearchBlockSize - kSearchOverlap) + kSearchBlockSize;
}

std::vector<Finding> CheckLanguageFile(const std::string& bytes, const std::vector<CatalogueText>& texts)
{
    return Checker(bytes, texts).Run();
}
