#include "core/debug/CrashText.h"
#include "core/debug/win32/CrashState.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// Basic types of the debug-help library's type information.
enum { kBasicChar = 2, kBasicFloat = 8 };
// The symbol tag of functions.
enum { kTagFunction = 5 };

const unsigned kMaxMembers = 1024;
// Types nest no deeper than this in a listing; deeper members are named without their values.
const unsigned kMaxNesting = 8;

// One symbol's text, cut at 2047 characters.
class SymbolText {
public:
    void Append(const char* format, ...) {
        if (length >= sizeof text - 1)
            return;
        va_list arguments;
        va_start(arguments, format);
        const int added = vsnprintf(text + length, sizeof text - length, format, arguments);
        va_end(arguments);
        if (added > 0)
            length =
                length + size_t(added) < sizeof text ? length + size_t(added) : sizeof text - 1;
    }
    const char* Text() const { return text; }

private:
    char text[2048] = "";
    size_t length = 0;
};

bool TypeInfo(ULONG64 module, ULONG type, IMAGEHLP_SYMBOL_TYPE_INFO what, void* result) {
    return SymGetTypeInfo(crashState.process, module, type, what, result) != FALSE;
}

DWORD BasicType(ULONG64 module, ULONG type) {
    DWORD basic = 0;
    if (TypeInfo(module, type, TI_GET_BASETYPE, &basic))
        return basic;
    DWORD target = 0;
    if (TypeInfo(module, type, TI_GET_TYPEID, &target) &&
        TypeInfo(module, target, TI_GET_BASETYPE, &basic))
        return basic;
    return 0;
}

void AppendName(SymbolText& text, ULONG64 module, ULONG index) {
    WCHAR* name = nullptr;
    if (TypeInfo(module, index, TI_GET_SYMNAME, &name) && name) {
        text.Append(" %ls", name);
        LocalFree(name);
    }
}

// The text a char pointer points to, when it is readable up to its terminator or its 32nd
// character.
bool ReadShortText(ULONG_PTR address, char (&copy)[33]) {
    for (unsigned i = 0; i < 32; ++i) {
        if (!CrashReadMemory(address + i, &copy[i], 1))
            return false;
        if (copy[i] == '\0')
            return true;
    }
    copy[32] = '\0';
    return true;
}

// The value at address by its length and basic type; false when it cannot be read.
bool AppendValue(SymbolText& text, ULONG_PTR address, ULONG64 length, DWORD basic) {
    unsigned char bytes[8];
    if (length != 1 && length != 2 && length != 4 && length != 8)
        return true;
    if (!CrashReadMemory(address, bytes, size_t(length)))
        return false;
    if (length == sizeof(ULONG_PTR) && basic == kBasicChar) {
        // A pointer to text: what it points to, when that can be read.
        ULONG_PTR pointer;
        memcpy(&pointer, bytes, sizeof pointer);
        char copy[33];
        if (ReadShortText(pointer, copy))
            text.Append(" = \"%.31s\"", copy);
        else
            text.Append(" = %llX", (unsigned long long)pointer);
    } else if (length == 1) {
        text.Append(" = %X", unsigned(bytes[0]));
    } else if (length == 2) {
        uint16_t value;
        memcpy(&value, bytes, sizeof value);
        text.Append(" = %X", unsigned(value));
    } else if (length == 4) {
        uint32_t value;
        memcpy(&value, bytes, sizeof value);
        if (basic == kBasicFloat) {
            float number;
            memcpy(&number, bytes, sizeof number);
            text.Append(" = %f", double(number));
        } else {
            text.Append(" = %X", unsigned(value));
        }
    } else if (basic == kBasicFloat) {
        double number;
        memcpy(&number, bytes, sizeof number);
        text.Append(" = %lf", number);
    } else {
        uint64_t value;
        memcpy(&value, bytes, sizeof value);
        text.Append(" = %llX", (unsigned long long)value);
    }
    return true;
}

// Lists the members of type, each with its value read at address plus its offset; false when
// the type has none. A member that has members of its own lists them from its own address.
bool AppendMembers(SymbolText& text, ULONG64 module, ULONG type, ULONG_PTR address,
                   unsigned nesting, bool& readable) {
    DWORD count = 0;
    if (!TypeInfo(module, type, TI_GET_CHILDRENCOUNT, &count) || count == 0)
        return false;
    if (count > kMaxMembers)
        count = kMaxMembers;
    // The parameter block ends in the list of members: Count, Start, then the ids.
    ULONG members[2 + kMaxMembers] = {count, 0};
    if (!TypeInfo(module, type, TI_FINDCHILDREN, members))
        return false;
    text.Append("\r\n");
    for (DWORD i = 0; i < count; ++i) {
        const ULONG member = members[2 + i];
        for (unsigned tab = 0; tab < nesting + 2; ++tab)
            text.Append("\t");
        AppendName(text, module, member);
        DWORD memberType = 0;
        DWORD offset = 0;
        ULONG64 length = 0;
        // Members without an offset (static data, functions) have no value here.
        const bool placed = TypeInfo(module, member, TI_GET_TYPEID, &memberType) &&
                            TypeInfo(module, member, TI_GET_OFFSET, &offset);
        const bool nested =
            placed && nesting + 1 < kMaxNesting &&
            AppendMembers(text, module, memberType, address + offset, nesting + 1, readable);
        if (placed && !nested && TypeInfo(module, memberType, TI_GET_LENGTH, &length))
            readable = AppendValue(text, address + offset, length, BasicType(module, memberType)) &&
                       readable;
        if (!nested)
            text.Append("\r\n");
    }
    return true;
}

} // namespace

BOOL CALLBACK CrashSymbolCallback(PSYMBOL_INFO symbol, ULONG, PVOID context) {
    const CrashFrame* frame = static_cast<const CrashFrame*>(context);
    // Not every library flags functions; their tag says it too.
    if ((symbol->Flags & (SYMFLAG_FUNCTION | SYMFLAG_REGISTER)) || symbol->Tag == kTagFunction)
        return TRUE;
    SymbolText text;
    if (symbol->Flags & SYMFLAG_PARAMETER)
        text.Append("Parameter ");
    else if (symbol->Flags & SYMFLAG_LOCAL)
        text.Append("Local ");
    text.Append("'%s'", symbol->Name);
    bool readable = true;
    ULONG_PTR address = ULONG_PTR(symbol->Address);
    if (symbol->Flags & SYMFLAG_REGREL) {
        // A frame-relative symbol means nothing without a frame.
        DWORD64 base = 0;
        readable = frame && CrashRegisterValue(*frame, symbol->Register, &base);
        address += ULONG_PTR(base);
    }
    if (readable) {
        AppendName(text, symbol->ModBase, symbol->TypeIndex);
        if (!AppendMembers(text, symbol->ModBase, symbol->TypeIndex, address, 0, readable))
            readable = AppendValue(text, address, symbol->Size,
                                   BasicType(symbol->ModBase, symbol->TypeIndex));
    }
    if (readable)
        CrashPrint("\t%s\r\n", text.Text());
    else
        CrashPrint("punting on symbol %s\r\n", symbol->Name);
    return TRUE;
}
