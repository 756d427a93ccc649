// The process-wide objects, constructed before WinMain in this order (one
// translation unit fixes it): the lead-byte table, ErrHandler, ExtRes, Lang.
// They are destroyed in reverse order after WinMain returns; a removal run
// that ends the process itself skips that.
#include "fileio/error_handler.h"
#include "lang/language.h"
#include "lang/message_text.h"
#include "shell/system.h"

LeadByteTable LeadBytes;

namespace {
struct LeadByteTableInit {
    LeadByteTableInit() { InitLeadByteTable(LeadBytes); }
} leadByteTableInit;
}  // namespace

ErrorHandler ErrHandler;
ExtResource ExtRes;
LanguageResources Lang;
