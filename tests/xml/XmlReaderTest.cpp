#include "core/xml/XmlReader.h"

#include "core/system/ThreadWorker.h"
#include "core/xml/XmlNesting.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A reader opened on name in a directory whose "doc.xml" holds body; closed with the object.
struct OpenedReader {
    OpenedReader(const std::string& body, const char* root = "root",
                 const std::string& name = "doc.xml") {
        WriteWholeFile(dir / "doc.xml", body);
        opened = reader->Open((dir / name).c_str(), root, __FILE__, __LINE__);
    }
    ~OpenedReader() { reader->Close(); }
    XmlReader* operator->() { return reader; }
    TempDir dir;
    XmlReader* reader = XmlReader::Create();
    bool opened;
};

// On the worker's stack, as the updater opens documents: nesting past the limit is refused
// before the parser recurses into it; markup that only looks nested is not.
TEST(XmlReader, OpenFindsTheRootWithinTheNestingLimitOnAWorkersStack) {
    const auto nested = [](int levels, const std::string& open, const std::string& close) {
        std::string body;
        for (int i = 1; i < levels; ++i)
            body += open;
        for (int i = 1; i < levels; ++i)
            body += close;
        return "<root>" + body + "</root>";
    };
    const std::string quoted(5000 * 4, '<');
    struct Opener : ThreadWorker {
        void Prepare() override {}
        void Run() override {
            for (const auto& c : cases)
                opened.push_back(OpenedReader(c.first).opened);
        }
        std::vector<std::pair<std::string, bool>> cases;
        std::vector<bool> opened;
    } opener;
    opener.cases = {
        {"<!-- first -->\r\n<root/>", true}, // the root need not come first
        {"<root><a></root>", false},
        {"<Root></Root>", false}, // names keep their case
        {"", false},
        {nested(kXmlMaxNesting, "<a>", "</a>"), true},
        {nested(kXmlMaxNesting + 1, "<a>", "</a>"), false},
        {nested(5000, "<a>", "</a>"), false},
        {nested(5000, "<a/>", ""), true},
        // With UTF-8 in force, TinyXML takes the lead byte and the next two as one character,
        // so the quote after it does not end the value and each '>' after it opens content.
        {"<?xml version=\"1.0\"?>" + nested(5000, "<a x=\"\xE0\"/>\">", ""), false},
        {"<root a=\"" + quoted + "\"/>", true},
        {"<root><!--" + quoted + "--><![CDATA[" + quoted + "]]></root>", true},
    };
    opener.Start(ThreadWorker::PriorityNormal);
    opener.Stop();
    ASSERT_EQ(opener.cases.size(), opener.opened.size());
    for (size_t i = 0; i < opener.cases.size(); ++i)
        EXPECT_EQ(opener.cases[i].second, opener.opened[i]) << i;

    // A missing file, and a path beyond the reader's limit that the file system never sees.
    EXPECT_FALSE(OpenedReader("<root/>", "root", "missing.xml").opened);
    EXPECT_FALSE(
        OpenedReader("<root/>", "root", std::string(XmlReader::kMaxPathLength, 'p')).opened);
}

// Walking and consuming entries is what every update list read does; here its limits: leaving
// the root does nothing, and entry 0 of the stack is the root, so one level fewer can be entered.
TEST(XmlReader, EnterStopsAtAFullStackAndLeaveAtTheRoot) {
    std::string body;
    for (int i = 0; i < XmlReader::kStackSize + 10; ++i)
        body = "<n>" + body + "</n>";
    OpenedReader deep(body, "n");
    ASSERT_TRUE(deep.opened);
    deep->LeaveChild();
    int entered = 0;
    while (deep->EnterChild("n"))
        ++entered;
    EXPECT_EQ(XmlReader::kStackSize - 1, entered);
}

// What read leaves in a value starting as start, for each of names; "absent" when not found.
template <typename T>
std::string ReadEach(OpenedReader& doc, bool (XmlReader::*read)(const char*, T*),
                     const std::string& names, T start) {
    std::istringstream list(names);
    std::ostringstream values;
    values << std::boolalpha;
    for (std::string name; list >> name;) {
        T value = start;
        const bool found = (doc.reader->*read)(name.c_str(), &value);
        values << (found ? "" : "absent ") << value << ' ';
    }
    return values.str();
}

// Elements without text give "" as text and keep the caller's value otherwise.
TEST(XmlReader, ReadersTakeTheFirstChildsTextAndKeepValuesWithoutText) {
    OpenedReader doc("<root><short>a &amp; b &lt;c&gt;</short><long>0123456789</long>"
                     "<empty/><nested><x/>t</nested>"
                     "<cdata><![CDATA[<raw>]]></cdata><twice>first</twice><twice>second</twice>"
                     "<one>1</one><zero>0</zero><word>true</word>"
                     "<int>42abc</int><negative>-17</negative><huge>99999999999</huge>"
                     "<tiny>-99999999999</tiny><junk>x1</junk>"
                     "<f>  -1.25e2xyz</f><nofloat>abc</nofloat><inf>-Infinity</inf>"
                     "<nan>NaN</nan><big>1e300</big><half>.5</half><exp>3e</exp>"
                     "<max>340282346638528859811704183484516925440</max>"
                     "<min>-340282346638528859811704183484516925440.0</min>"
                     "<comma>2,5</comma><two>1,5,5</two>"
                     "<move><m41>1</m41><m42>2,5</m42><m43>-3</m43><m44>9</m44><m14>9</m14></move>"
                     "<vec><y>2</y><w>4</w></vec></root>");
    ASSERT_TRUE(doc.opened);
    EXPECT_EQ("true false false true absent true ",
              ReadEach(doc, &XmlReader::ReadBool, "one zero word empty absent", true));
    for (auto read : {&XmlReader::ReadInt, &XmlReader::ReadLong})
        EXPECT_EQ("42 -17 2147483647 -2147483648 0 5 absent 5 ",
                  ReadEach(doc, read, "int negative huge tiny junk empty absent", 5));
    // A decimal comma is read as a dot; the ends of the float range stay finite.
    EXPECT_EQ("-125 0 -inf nan inf 0.5 3 3.40282e+38 -3.40282e+38 7 absent 7 2.5 1.5 ",
              ReadEach(doc, &XmlReader::ReadFloat,
                       "f nofloat inf nan big half exp max min empty absent comma two", 7.0f));
    // Cut to the buffer (AddressSanitizer checks the edge); a float read changed the first comma.
    std::string texts;
    for (const char* name :
         {"short", "long", "empty", "nested", "cdata", "twice", "two", "absent"}) {
        char text[8] = "x";
        const bool found = doc->ReadText(name, text);
        texts += (found ? "" : "absent ") + std::string(text) + "|";
    }
    EXPECT_EQ("a & b <|0123456|||<raw>|first|1.5,5|absent x|", texts);

    // A matrix starts as the identity; a vector keeps the caller's values for missing elements.
    float matrix[16];
    std::fill(matrix, matrix + 16, 42.0f);
    EXPECT_TRUE(doc->ReadMatrix("move", matrix));
    EXPECT_EQ((std::vector<float>{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2.5f, -3, 1}),
              std::vector<float>(matrix, matrix + 16));
    float vector[4] = {-1, -1, -1, -1};
    EXPECT_TRUE(doc->ReadVector("vec", vector));
    EXPECT_EQ((std::vector<float>{-1, 2, -1, 4}), std::vector<float>(vector, vector + 4));
}

} // namespace
