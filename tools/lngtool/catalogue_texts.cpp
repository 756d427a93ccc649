#include "catalogue_texts.h"

#include "lang/format_text.h"

namespace {

// The source and context that the direction entry is looked up with.
const char kDirection[] = "LTR";

void Add(std::vector<CatalogueText>* texts, TextRole role, TextKind kind, const std::string& context,
         const std::string& source, const std::string& where, size_t bufferSize)
{
    std::string key = CatalogueKey(source, kind == kDialogText ? context.c_str() : nullptr, kind);
    int known = FindCatalogueText(*texts, key);
    if (known >= 0) {
        (*texts)[known].where += "; " + where;
        return;
    }
    texts->push_back({role, kind, context, source, where, bufferSize, key});
}

std::string ControlPlace(const ScriptDialog& dialog, const ScriptControl& c)
{
    std::string place = dialog.name + ", " + c.kind;
    if (c.id != "-1" && c.id != "IDC_STATIC")
        place += " " + c.id;
    if (!c.width.empty())
        place += " (" + c.width + " x " + c.height + ")";
    return place;
}

std::string StringPlace(const ScriptString& s)
{
    std::string place = "message " + s.id;
    if (s.number >= 0 && std::to_string(s.number) != s.id)
        place += " (" + std::to_string(s.number) + ")";
    if (!s.note.empty())
        place += ", " + s.note;
    return place;
}

}  // namespace

bool CatalogueText::IsFormat() const
{
    return role == TextRole::kMessage && IsSingleStringFormat(source.c_str());
}

std::string CatalogueKey(const std::string& source, const char* context, TextKind kind)
{
    char key[kCatalogueKeySize];
    MakeCatalogueKey(key, source.c_str(), context, kind);
    return key;
}

int FindCatalogueText(const std::vector<CatalogueText>& texts, const std::string& key)
{
    for (size_t i = 0; i < texts.size(); ++i)
        if (texts[i].key == key)
            return static_cast<int>(i);
    return -1;
}

std::vector<CatalogueText> ListCatalogueTexts(const ResourceScript& script)
{
    std::vector<CatalogueText> texts;
    for (const ScriptDialog& d : script.dialogs) {
        std::string size = d.width.empty() ? "" : " (" + d.width + " x " + d.height + ")";
        Add(&texts, TextRole::kScale, kDialogText, d.name, "", d.name + size + ", scale of the dialog and its controls",
            kScaleTextSize);
        // An empty caption would be looked up under the scale entry's key.
        if (!d.caption.empty())
            Add(&texts, TextRole::kDialogText, kDialogText, d.name, d.caption, d.name + ", caption", kDialogTextSize);
        for (const ScriptControl& c : d.controls)
            if (!c.text.empty())
                Add(&texts, TextRole::kDialogText, kDialogText, d.name, c.text, ControlPlace(d, c), kDialogTextSize);
    }
    Add(&texts, TextRole::kDirection, kDialogText, kDirection, kDirection, "text direction of both dialogs",
        kDialogTextSize);
    for (const ScriptString& s : script.strings)
        Add(&texts, TextRole::kMessage, kMessageText, "", s.text, StringPlace(s), kMessageTextSize);
    return texts;
}
