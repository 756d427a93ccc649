// Catalogue lookups (TranslateText) against glibc's dgettext on a .mo file
// holding the same texts, and the load of a full 64 KiB catalogue.
//
//   lookup_bench generate DIR          writes DIR/uninstall.lng and DIR/vexbench.po
//   lookup_bench DIR [--benchmark_*]   runs the benchmarks; msgfmt has made
//                                      DIR/xx/LC_MESSAGES/vexbench.mo from the .po
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <libintl.h>
#include <locale.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "fileio/error_handler.h"
#include "lang/language.h"

ErrorHandler ErrHandler;

// Every allocation of the process is counted, so that a benchmark can say how
// many its loop made.
extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
static unsigned long long allocations;
extern "C" void* malloc(size_t n)
{
    ++allocations;
    return __libc_malloc(n);
}
extern "C" void* calloc(size_t n, size_t size)
{
    ++allocations;
    return __libc_calloc(n, size);
}
extern "C" void* realloc(void* p, size_t n)
{
    ++allocations;
    return __libc_realloc(p, n);
}

namespace {

const char kDomain[] = "vexbench";
const char kMarkerLine[] = "***messages**\r\n";
const size_t kCatalogueBytes = 65536;

struct Entry {
    std::string source;
    std::string context;  // empty: none
    TextKind kind;
    std::string translation;
    std::string gettextId;  // the msgctxt, "\004" and the msgid, as pgettext passes it
};

unsigned int Crc32(const std::string& bytes, unsigned int crc)
{
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc;
}

// Texts of the kind the program shows: a few words, now and then a sentence.
std::vector<Entry> MakeEntries()
{
    static const char* const words[] = {
        "archive", "files",   "folder", "extract", "settings", "install", "remove",  "shell",  "context",
        "menu",    "icons",   "open",   "with",    "Vexora",   "the",     "to",      "and",    "of",
        "create",  "desktop", "link",   "program", "group",    "choose",  "types",   "format", "volume",
        "help",    "cancel",  "done",   "update",  "current",  "user",    "options", "path",   "cannot"};
    const int nWords = sizeof words / sizeof words[0];
    std::mt19937 rnd(20240611);
    std::set<std::string> seen;
    std::vector<Entry> entries;
    size_t bytes = strlen(kMarkerLine);
    for (;;) {
        Entry e;
        int n = 1 + static_cast<int>(rnd() % 12);
        for (int i = 0; i < n; ++i)
            e.source += std::string(i ? " " : "") + words[rnd() % nWords];
        int which = static_cast<int>(rnd() % 3);
        e.kind = which == 0 ? kMessageText : kDialogText;
        e.context = which == 1 ? "SETUPDLG" : which == 2 ? "DONEDLG" : "";
        std::string prefix = e.kind == kDialogText ? "$" : "s";
        e.gettextId = prefix + e.context + '\004' + e.source;
        if (!seen.insert(e.gettextId).second)
            continue;
        for (char c : e.source)
            e.translation += (c >= 'a' && c <= 'z') ? static_cast<char>('a' + (c - 'a' + 13) % 26) : c;
        e.translation += " (tr)";
        size_t line = 8 + 2 + e.translation.size() + 3;
        if (bytes + line > kCatalogueBytes)
            break;
        bytes += line;
        entries.push_back(e);
    }
    return entries;
}

std::string Key(const Entry& e)
{
    std::string prefix = e.kind == kDialogText ? "$" : "s";
    char key[9];
    snprintf(key, sizeof key, "%08x", ~Crc32(prefix + e.context + e.source, 0xFFFFFFFFu));
    return key;
}

bool WriteText(const std::string& path, const std::string& text)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
    return fclose(f) == 0 && ok;
}

int Generate(const std::string& dir)
{
    std::vector<Entry> entries = MakeEntries();
    std::string lng = kMarkerLine;
    std::string po = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ASCII\\n\"\n";
    for (const Entry& e : entries) {
        lng += Key(e) + "=\"" + e.translation + "\"\r\n";
        po += "\nmsgctxt \"" + (e.kind == kDialogText ? "$" + e.context : std::string("s")) + "\"\nmsgid \"" +
              e.source + "\"\nmsgstr \"" + e.translation + "\"\n";
    }
    if (!WriteText(dir + "/uninstall.lng", lng) || !WriteText(dir + "/vexbench.po", po)) {
        fprintf(stderr, "lookup_bench: cannot write into %s\n", dir.c_str());
        return 1;
    }
    printf("%zu entries, %zu bytes\n", entries.size(), lng.size());
    return 0;
}

std::string dir;
std::vector<Entry> entries;
std::vector<int> order;  // the same shuffled order of lookups for both
std::vector<std::string> keys;
LanguageResources catalogue;

char* ReadCatalogueFile()
{
    char* buffer = static_cast<char*>(malloc(kCatalogueBufferSize));
    int fd = open((dir + "/uninstall.lng").c_str(), O_RDONLY);
    int n = fd < 0 ? -1 : static_cast<int>(read(fd, buffer, kCatalogueReadSize));
    if (fd >= 0)
        close(fd);
    if (n <= 0) {
        fprintf(stderr, "lookup_bench: no catalogue in %s\n", dir.c_str());
        exit(1);
    }
    catalogue.LoadText(buffer, n);
    return buffer;
}

void Counters(benchmark::State& state, unsigned long long before)
{
    state.counters["allocs_per_op"] =
        static_cast<double>(allocations - before) / static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations());
}

void TranslateText(benchmark::State& state)
{
    char dest[kMessageTextSize];
    size_t i = 0;
    unsigned long long before = allocations;
    for (auto _ : state) {
        const Entry& e = entries[order[i]];
        catalogue.TranslateText(dest, sizeof dest, e.source.c_str(), e.context.empty() ? nullptr : e.context.c_str(),
                                e.kind);
        benchmark::DoNotOptimize(dest);
        if (++i == order.size())
            i = 0;
    }
    Counters(state, before);
}

// The two parts of a lookup, to say where its time goes.
void MakeKey(benchmark::State& state)
{
    char key[kCatalogueKeySize];
    size_t i = 0;
    for (auto _ : state) {
        const Entry& e = entries[order[i]];
        MakeCatalogueKey(key, e.source.c_str(), e.context.empty() ? nullptr : e.context.c_str(), e.kind);
        benchmark::DoNotOptimize(key);
        if (++i == order.size())
            i = 0;
    }
}

void FindEntry(benchmark::State& state)
{
    size_t i = 0;
    for (auto _ : state) {
        const char* line = catalogue.FindEntry(keys[order[i]].c_str());
        benchmark::DoNotOptimize(line);
        if (++i == order.size())
            i = 0;
    }
}

void Dgettext(benchmark::State& state)
{
    size_t i = 0;
    unsigned long long before = allocations;
    for (auto _ : state) {
        const char* text = dgettext(kDomain, entries[order[i]].gettextId.c_str());
        benchmark::DoNotOptimize(text);
        if (++i == order.size())
            i = 0;
    }
    Counters(state, before);
}

// What a caller with a buffer gets: the text copied, as TranslateText gives it.
void DgettextCopy(benchmark::State& state)
{
    char dest[kMessageTextSize];
    size_t i = 0;
    unsigned long long before = allocations;
    for (auto _ : state) {
        const char* text = dgettext(kDomain, entries[order[i]].gettextId.c_str());
        size_t n = strnlen(text, sizeof dest - 1);
        memcpy(dest, text, n);
        dest[n] = 0;
        benchmark::DoNotOptimize(dest);
        if (++i == order.size())
            i = 0;
    }
    Counters(state, before);
}

void CatalogueLoad(benchmark::State& state)
{
    unsigned long long before = allocations;
    for (auto _ : state)
        ReadCatalogueFile();
    Counters(state, before);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(catalogue.length));
}

// Every text must come back translated by both, or the figures compare nothing.
bool Check()
{
    char dest[kMessageTextSize];
    for (const Entry& e : entries) {
        catalogue.TranslateText(dest, sizeof dest, e.source.c_str(), e.context.empty() ? nullptr : e.context.c_str(),
                                e.kind);
        if (e.translation != dest) {
            fprintf(stderr, "lookup_bench: TranslateText gives \"%s\" for \"%s\"\n", dest, e.source.c_str());
            return false;
        }
        if (e.translation != dgettext(kDomain, e.gettextId.c_str())) {
            fprintf(stderr, "lookup_bench: dgettext gives no translation for \"%s\"\n", e.source.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && strcmp(argv[1], "generate") == 0)
        return Generate(argv[2]);
    if (argc < 2 || argv[1][0] == '-') {
        fprintf(stderr, "usage: lookup_bench generate DIR | lookup_bench DIR [--benchmark_...]\n");
        return 2;
    }
    dir = argv[1];
    entries = MakeEntries();
    for (size_t i = 0; i < entries.size(); ++i) {
        order.push_back(static_cast<int>(i));
        keys.push_back(Key(entries[i]));
    }
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    setenv("LANGUAGE", "xx", 1);
    setlocale(LC_ALL, "C.UTF-8");
    bindtextdomain(kDomain, dir.c_str());
    ReadCatalogueFile();
    if (!Check())
        return 3;
    benchmark::RegisterBenchmark("TranslateText", TranslateText);
    benchmark::RegisterBenchmark("dgettext", Dgettext);
    benchmark::RegisterBenchmark("dgettext+copy", DgettextCopy);
    benchmark::RegisterBenchmark("CatalogueLoad64KiB", CatalogueLoad);
    benchmark::RegisterBenchmark("MakeCatalogueKey", MakeKey);
    benchmark::RegisterBenchmark("FindEntry", FindEntry);
    int bargc = argc - 1;
    argv[1] = argv[0];
    benchmark::Initialize(&bargc, argv + 1);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
