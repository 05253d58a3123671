// Feeds arbitrary bytes to ReadUpdateList through a file, on a thread with the worker's stack
// as the updater reads a downloaded list and "installed_updates", and checks that every record
// it yields keeps its texts inside their fields. It also holds the nesting walk to TinyXML: a
// text the walk lets through never builds a deeper tree, and a text it refuses does.
#include "launcher/UpdateDocuments.h"

#include "core/system/ThreadWorker.h"
#include "core/xml/XmlNesting.h"
#include "tests/fuzz/FuzzInputFile.h"

#include <tinyxml.h>

#include <pthread.h>

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

void CheckTerminated(const char* field, size_t size) {
    if (!memchr(field, '\0', size))
        abort();
}

// Runs work to its end on a new thread with the worker's stack size.
template <typename Work>
void OnWorkerStack(Work& work) {
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
    int deepest = 0;
    const TiXmlNode* node = document.FirstChild();
    while (node) {
        int depth = 0;
        for (const TiXmlNode* up = node; up != &document; up = up->Parent())
            ++depth;
        if (depth > deepest)
            deepest = depth;
        if (node->FirstChild()) {
            node = node->FirstChild();
            continue;
        }
        while (node != &document && !node->NextSibling())
            node = node->Parent();
        node = node == &document ? nullptr : node->NextSibling();
    }
    return deepest;
}

// TinyXML's tree for text, as deep as the walk says: an element whose start tag fails is
// still linked, one level below the last one the walk counted. A refused text must really
// nest that deep, unless TinyXML stopped at an element error the walk does not look for
// (a repeated attribute).
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
    if (within)
        OnWorkerStack(parse);
    else
        parse();
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
    auto readList = [&] { read = ReadUpdateList(path.c_str(), &list); };
    OnWorkerStack(readList);
    if (read) {
        for (const UpdateRecord& record : list) {
            CheckTerminated(record.forVersion, sizeof record.forVersion);
            CheckTerminated(record.toVersion, sizeof record.toVersion);
            CheckTerminated(record.name, sizeof record.name);
            CheckTerminated(record.file, sizeof record.file);
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
