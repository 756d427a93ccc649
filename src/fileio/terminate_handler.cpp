// The shipped program's terminate handler (the link maps the run-time's
// verbose handler to it). The run-time's own names the exception's type
// through the C++ demangler, which would be the largest part of the program;
// the only type the program throws is the memory error's int, so this one
// writes the same words with the name spelt out.
#include <cxxabi.h>
#include <stdio.h>
#include <stdlib.h>

#include <typeinfo>

extern "C" void VexTerminateHandler()
{
    static bool terminating;
    if (terminating) {
        fputs("terminate called recursively\n", stderr);
        abort();
    }
    terminating = true;
    const std::type_info* type = abi::__cxa_current_exception_type();
    if (type) {
        fputs("terminate called after throwing an instance of '", stderr);
        fputs(*type == typeid(int) ? "int" : type->name(), stderr);
        fputs("'\n", stderr);
    } else {
        fputs("terminate called without an active exception\n", stderr);
    }
    abort();
}
