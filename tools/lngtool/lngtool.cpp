// lngtool: the translator's kit for the program's language file.
#include <stdio.h>
#include <string.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "catalogue_texts.h"
#include "language_file_check.h"
#include "language_file_writer.h"
#include "program_script.h"

ErrorHandler ErrHandler;

namespace {

const char kUsage[] =
    "usage: lngtool key [--dialog NAME | --message] TEXT\n"
    "           the catalogue key of TEXT in dialog NAME, or of a message text (the default)\n"
    "       lngtool template\n"
    "           a complete uninstall.lng to translate, on standard output\n"
    "       lngtool check FILE\n"
    "           what would go wrong with the language file FILE (\"-\": standard input);\n"
    "           exit code 0 when there are no errors\n"
    "       lngtool pseudo\n"
    "           a pseudo-translation on standard output, to see layout problems early\n";

int Usage()
{
    fputs(kUsage, stderr);
    return 2;
}

std::vector<CatalogueText> ProgramTexts()
{
    return ListCatalogueTexts(ParseResourceScript(kProgramResourceScript, kProgramResourceIds));
}

int Key(int argc, char** argv)
{
    TextKind kind = kMessageText;
    const char* context = nullptr;
    int i = 2;
    if (i + 1 < argc && strcmp(argv[i], "--dialog") == 0) {
        kind = kDialogText;
        context = argv[i + 1];
        i += 2;
    } else if (i < argc && strcmp(argv[i], "--message") == 0) {
        ++i;
    }
    if (i + 1 != argc)
        return Usage();
    printf("%s\n", CatalogueKey(argv[i], context, kind).c_str());
    return 0;
}

bool ReadAll(const char* name, std::string* bytes)
{
    if (strcmp(name, "-") == 0) {
        bytes->assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        return !std::cin.bad();
    }
    std::ifstream in(name, std::ios::binary);
    if (!in)
        return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

int Check(const char* name)
{
    std::string bytes;
    if (!ReadAll(name, &bytes)) {
        fprintf(stderr, "lngtool: cannot read %s\n", name);
        return 2;
    }
    const char* shown = strcmp(name, "-") == 0 ? "<stdin>" : name;
    int errors = 0;
    for (const Finding& f : CheckLanguageFile(bytes, ProgramTexts())) {
        errors += f.error;
        if (f.line > 0)
            printf("%s:%d: %s: %s\n", shown, f.line, f.error ? "error" : "warning", f.message.c_str());
        else
            printf("%s: %s: %s\n", shown, f.error ? "error" : "warning", f.message.c_str());
    }
    return errors > 0 ? 1 : 0;
}

int Write(const std::string& file)
{
    fwrite(file.data(), 1, file.size(), stdout);
    return ferror(stdout) ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    std::string command = argv[1];
    if (command == "key")
        return Key(argc, argv);
    if (command == "template" && argc == 2)
        return Write(WriteTemplate(ProgramTexts()));
    if (command == "pseudo" && argc == 2)
        return Write(WritePseudoTranslation(ProgramTexts()));
    if (command == "check" && argc == 3)
        return Check(argv[2]);
    return Usage();
}
