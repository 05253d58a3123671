// ListSignatureValid on arbitrary ".minisig" texts: the input is a list, a NUL byte and the
// signature text (without a NUL, all of it is the signature of an empty list). The corpus holds
// real signatures by this key in both of minisign's algorithms.
#include "updater/ListSignature.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ListKey key;
    static const bool parsed =
        ListKeyParse("RWSSKsWMgH0hIqz9i1/EnvnMu1eJvf0gJyK4mzTZWOvUb6zs6XZYk0qO", &key);
    if (!parsed)
        abort();
    const char* text = reinterpret_cast<const char*>(data);
    const void* nul = memchr(data, 0, size);
    const size_t listSize = nul ? size_t(static_cast<const char*>(nul) - text) : 0;
    const size_t signatureStart = nul ? listSize + 1 : 0;
    ListSignatureValid(key, text, listSize, text + signatureStart, size - signatureStart);
    return 0;
}
