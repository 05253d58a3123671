// ReadUpdateList on arbitrary bytes, on a thread with the worker's stack as the updater reads a
// list: every record keeps its texts inside their fields, and the nesting walk agrees with TinyXML.
#include "core/system/ThreadWorker.h"
#include "core/xml/XmlNesting.h"
#include "tests/fuzz/FuzzInputFile.h"
#include "updater/PackageHash.h"
#include "updater/UpdateDocuments.h"

#include <pthread.h>
#include <tinyxml.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
// Inputs long enough to nest thousands of levels, unless the command line says otherwise.
constexpr const char* kDefaultMaxLength = "-max_len=65536";
// Refused texts are parsed on this thread's large stack, so only short ones.
constexpr size_t kCheckRefusedUpTo = 4096;

template <size_t... Size>
void CheckTerminated(const char (&... fields)[Size]) {
    if ((!memchr(fields, '\0', Size) || ...))
        abort();
}

// Runs work to its end on a new thread with the worker's stack size.
template <typename Work>
void OnWorkerStack(Work work) {
    pthread_attr_t attributes;
    pthread_t thread;
    if (pthread_attr_init(&attributes) != 0 ||
        pthread_attr_setstacksize(&attributes, ThreadWorker::kStackSize) != 0 ||
        pthread_create(
            &thread, &attributes,
            [](void* argument) -> void* {
                (*static_cast<Work*>(argument))();
                return nullptr;
            },
            &work) != 0)
        abort();
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
}

// The deepest nesting of elements in the parsed tree, walked without recursion.
int TreeDepth(const TiXmlDocument& document) {
    int deepest = 0, depth = 1;
    for (const TiXmlNode* node = document.FirstChild(); node;) {
        deepest = depth > deepest ? depth : deepest;
        if (node->FirstChild()) {
            node = node->FirstChild();
            ++depth;
            continue;
        }
        for (; node != &document && !node->NextSibling(); --depth)
            node = node->Parent();
        node = node == &document ? nullptr : node->NextSibling();
    }
    return deepest;
}

// TinyXML's tree is as deep as the walk says, a failed start tag linked one level below; a refused
// text must nest that deep unless TinyXML stopped at an error the walk ignores (a repeated name).
void CheckNestingWalk(const std::vector<char>& text) {
    const bool within = XmlNestingWithin(text.data());
    if (!within && text.size() > kCheckRefusedUpTo)
        return;
    auto parse = [&text, within] {
        TiXmlDocument document;
        document.Parse(text.data(), nullptr, TIXML_DEFAULT_ENCODING);
        const int depth = TreeDepth(document);
        if (within ? depth > kXmlMaxNesting + 1
                   : depth <= kXmlMaxNesting &&
                         document.ErrorId() != TiXmlBase::TIXML_ERROR_PARSING_ELEMENT)
            abort();
    };
    within ? OnWorkerStack(parse) : parse();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    for (int i = 1; i < *argc; ++i)
        if (strncmp((*argv)[i], "-max_len=", 9) == 0)
            return 0;
    static std::vector<char*> arguments((*argv), (*argv) + *argc);
    arguments.insert(arguments.begin() + 1, const_cast<char*>(kDefaultMaxLength));
    arguments.push_back(nullptr);
    *argc += 1;
    *argv = arguments.data();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = fuzz::WriteInput("list.xml", data, size);
    bool read = false;
    UpdateList list;
    OnWorkerStack([&] { read = ReadUpdateList(path.c_str(), &list); });
    if (read) {
        for (const UpdateRecord& record : list) {
            CheckTerminated(record.forVersion, record.toVersion, record.name, record.file,
                            record.sha256, record.size);
            ListedPackage listed;
            ReadListedPackage(record, &listed);
        }
    } else if (!list.empty()) {
        abort(); // a refused document leaves the list alone
    }
    // The walk reads up to 4 bytes past the terminator, as TinyXML does.
    std::vector<char> text(data, data + size);
    text.resize(size + 8, '\0');
    CheckNestingWalk(text);
    return 0;
}
