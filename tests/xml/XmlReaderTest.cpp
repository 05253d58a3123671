#include "core/xml/XmlReader.h"

#include "core/system/ThreadWorker.h"
#include "core/xml/XmlNesting.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// A reader opened on a document made of body; closed with the object.
class OpenedReader {
public:
    OpenedReader(const std::string& body, const char* root = "root") {
        WriteWholeFile(dir / "doc.xml", body);
        opened = reader->Open((dir / "doc.xml").c_str(), root, __FILE__, __LINE__);
    }
    ~OpenedReader() { reader->Close(); }
    XmlReader* operator->() { return reader; }

    TempDir dir;
    XmlReader* reader = XmlReader::Create();
    bool opened;
};

std::string Text(bool value) {
    return value ? "true" : "false";
}
std::string Text(int32_t value) {
    return std::to_string(value);
}
std::string Text(float value) {
    if (std::isnan(value))
        return "nan";
    char text[64];
    snprintf(text, sizeof text, "%g", value);
    return text;
}
template <typename T, size_t N>
std::string Text(const T (&values)[N]) {
    std::string text;
    for (const T& value : values)
        text += Text(value) + " ";
    return text;
}

struct Row {
    const char* name;
    const char* expected;
};

// "found value" after a typed reader ran on name with the value starting at start.
template <typename T>
std::string Read(OpenedReader& doc, bool (XmlReader::*read)(const char*, T*), const char* name,
                 T start) {
    T value = start;
    const bool found = (doc.reader->*read)(name, &value);
    return Text(found) + " " + Text(value);
}

TEST(XmlReader, OpenFindsTheRootOrFails) {
    OpenedReader good("<?xml version=\"1.0\"?>\n<root><a/></root>");
    EXPECT_TRUE(good.opened);
    EXPECT_EQ(0, good->depth);
    EXPECT_EQ(good->stack[0], good->current);
    EXPECT_TRUE(OpenedReader("<!-- first -->\r\n<root/>").opened); // the root need not come first

    for (const char* body : {"<root><a></root>", // not well-formed
                             "<Root></Root>",    // names keep their case
                             "", "<other/><!-- --><x/>"})
        EXPECT_FALSE(OpenedReader(body).opened) << body;

    // A missing file, and a path beyond the reader's limit that the file system never sees.
    TempDir dir;
    for (const std::string& path :
         {dir / "missing.xml", dir / std::string(XmlReader::kMaxPathLength, 'p')}) {
        XmlReader* reader = XmlReader::Create();
        EXPECT_FALSE(reader->Open(path.c_str(), "root", __FILE__, __LINE__));
        reader->Close();
    }
}

TEST(XmlReader, EnterAndLeaveWalkChildrenAndConsumeThem) {
    OpenedReader doc("<root>item<!--item--><item><v>1</v></item><other/><item><v>2</v></item>"
                     "</root>");
    ASSERT_TRUE(doc.opened);
    TiXmlNode* root = doc->current;
    EXPECT_FALSE(doc->EnterChild("missing"));
    EXPECT_EQ(root, doc->current);

    // Text and comments are never entered, even when they read like the name; a left child is
    // gone, so the same name then finds the next.
    char value[8];
    for (const char* expected : {"1", "2"}) {
        ASSERT_TRUE(doc->EnterChild("item"));
        EXPECT_EQ(1, doc->depth);
        EXPECT_EQ(doc->stack[1], doc->current);
        EXPECT_TRUE(doc->ReadText("v", value));
        EXPECT_STREQ(expected, value);
        doc->LeaveChild();
        EXPECT_EQ(0, doc->depth);
        EXPECT_EQ(root, doc->current);
    }
    EXPECT_FALSE(doc->EnterChild("item"));
    EXPECT_TRUE(doc->EnterChild("other"));
    // The second leave stands at the root and does nothing.
    doc->LeaveChild();
    doc->LeaveChild();
    EXPECT_EQ(0, doc->depth);
    EXPECT_EQ(root, doc->current);
    EXPECT_FALSE(doc->EnterChild("other"));
}

TEST(XmlReader, EnterStopsAtTheStackLimit) {
    const int levels = XmlReader::kStackSize + 10;
    std::string body;
    for (int i = 0; i < levels; ++i)
        body = "<n>" + body + "</n>";
    OpenedReader doc(body, "n");
    ASSERT_TRUE(doc.opened);
    int entered = 0;
    while (doc->EnterChild("n"))
        ++entered;
    EXPECT_EQ(XmlReader::kStackSize - 1, entered);
    EXPECT_EQ(XmlReader::kStackSize - 1, doc->depth);
    EXPECT_EQ(doc->stack[doc->depth], doc->current);
    while (doc->depth > 0)
        doc->LeaveChild();
    EXPECT_EQ(doc->stack[0], doc->current);
}

// Run on a thread with the worker's stack, where the updater opens its documents: deeper
// nesting is refused before the parser recurses into it, and markup that only looks nested
// is not.
TEST(XmlReader, OpenRefusesNestingDeeperThanTheLimitOnAWorkersStack) {
    const auto nested = [](int levels, const std::string& open, const std::string& close) {
        std::string body;
        for (int i = 1; i < levels; ++i)
            body += open;
        for (int i = 1; i < levels; ++i)
            body += close;
        return "<root>" + body + "</root>";
    };
    const std::string quoted(5000 * 4, '<');
    // With UTF-8 in force, TinyXML takes the lead byte and the next two as one character, so
    // the quote after it does not end the value and each '>' after the value opens content.
    const std::string swallowed =
        "<?xml version=\"1.0\"?>" + nested(5000, "<a x=\"\xE0\"/>\">", "");
    struct Case {
        std::string body;
        bool opens;
    };
    const std::vector<Case> cases = {
        {nested(kXmlMaxNesting, "<a>", "</a>"), true},
        {nested(kXmlMaxNesting + 1, "<a>", "</a>"), false},
        {nested(5000, "<a>", "</a>"), false},
        {nested(5000, "<a/>", ""), true},
        {swallowed, false},
        {"<root a=\"" + quoted + "\"/>", true},
        {"<root><!--" + quoted + "--><![CDATA[" + quoted + "]]></root>", true},
    };
    struct Opener : ThreadWorker {
        void Prepare() override {}
        void Run() override {
            for (const auto& c : *cases) {
                OpenedReader doc(c.body);
                results.push_back(doc.opened);
            }
        }
        const std::vector<Case>* cases;
        std::vector<bool> results;
    } opener;
    opener.cases = &cases;
    opener.Start(ThreadWorker::PriorityNormal);
    opener.Stop();
    ASSERT_EQ(cases.size(), opener.results.size());
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(cases[i].opens, opener.results[i]) << i;
}

TEST(XmlReader, ReadTextCutsToTheBufferAndTreatsNonTextAsEmpty) {
    OpenedReader doc("<root><short>a &amp; b &lt;c&gt;</short><long>0123456789</long>"
                     "<empty/><commented><!-- note -->text</commented><nested><x/>t</nested>"
                     "<cdata><![CDATA[<raw>]]></cdata><twice>first</twice><twice>second</twice>"
                     "</root>");
    ASSERT_TRUE(doc.opened);
    const std::pair<const char*, const char*> rows[] = {
        {"short", "a & b <"}, {"long", "0123456"}, {"empty", ""},     {"commented", ""},
        {"nested", ""},       {"cdata", "<raw>"},  {"twice", "first"}};
    // Under AddressSanitizer a copy past the buffer would stop the test here.
    char text[8];
    for (const auto& row : rows) {
        strcpy(text, "x");
        EXPECT_TRUE(doc->ReadText(row.first, text)) << row.first;
        EXPECT_STREQ(row.second, text) << row.first;
    }
    EXPECT_FALSE(doc->ReadText("absent", text));
    EXPECT_STREQ("first", text);
}

// Elements without text keep the caller's value; absent ones report so and keep it too.
TEST(XmlReader, TypedReadersTakeTheirTextsAndKeepValuesWithoutText) {
    OpenedReader doc("<root><one>1</one><zero>0</zero><word>true</word><empty/>"
                     "<int>42abc</int><negative>-17</negative><huge>99999999999</huge>"
                     "<tiny>-99999999999</tiny><junk>x1</junk>"
                     "<f>  -1.25e2xyz</f><nofloat>abc</nofloat><inf>-Infinity</inf>"
                     "<nan>NaN</nan><big>1e300</big><half>.5</half><exp>3e</exp>"
                     "<comma>2,5</comma><dot>2.5</dot><two>1,5,5</two></root>");
    ASSERT_TRUE(doc.opened);
    const Row bools[] = {{"one", "true true"},
                         {"zero", "true false"},
                         {"word", "true false"},
                         {"empty", "true true"},
                         {"absent", "false true"}};
    for (const Row& row : bools)
        EXPECT_EQ(row.expected, Read(doc, &XmlReader::ReadBool, row.name, true)) << row.name;
    const Row ints[] = {{"int", "true 42"},          {"negative", "true -17"},
                        {"huge", "true 2147483647"}, {"tiny", "true -2147483648"},
                        {"junk", "true 0"},          {"empty", "true 5"},
                        {"absent", "false 5"}};
    for (auto read : {&XmlReader::ReadInt, &XmlReader::ReadLong})
        for (const Row& row : ints)
            EXPECT_EQ(row.expected, Read(doc, read, row.name, 5)) << row.name;
    // A decimal comma is read as a dot.
    const Row floats[] = {{"f", "true -125"},    {"nofloat", "true 0"}, {"inf", "true -inf"},
                          {"nan", "true nan"},   {"big", "true inf"},   {"half", "true 0.5"},
                          {"exp", "true 3"},     {"empty", "true 7"},   {"absent", "false 7"},
                          {"comma", "true 2.5"}, {"dot", "true 2.5"},   {"two", "true 1.5"}};
    for (const Row& row : floats)
        EXPECT_EQ(row.expected, Read(doc, &XmlReader::ReadFloat, row.name, 7.0f)) << row.name;
    // The comma was changed in the document itself, the first one only.
    char text[16];
    EXPECT_TRUE(doc->ReadText("comma", text));
    EXPECT_STREQ("2.5", text);
    EXPECT_TRUE(doc->ReadText("two", text));
    EXPECT_STREQ("1.5,5", text);
}

TEST(XmlReader, MatrixStartsFromTheIdentityAndVectorFromTheCallersValues) {
    OpenedReader doc("<root><move><m41>1</m41><m42>2,5</m42><m43>-3</m43><m44>9</m44>"
                     "<m14>9</m14></move><vec><y>2</y><w>4</w></vec><flat>5</flat></root>");
    ASSERT_TRUE(doc.opened);
    float matrix[16];
    std::fill(matrix, matrix + 16, 42.0f);
    EXPECT_TRUE(doc->ReadMatrix("move", matrix));
    EXPECT_EQ("1 0 0 0 0 1 0 0 0 0 1 0 1 2.5 -3 1 ", Text(matrix));
    // A value element without children gives the plain identity.
    EXPECT_TRUE(doc->ReadMatrix("flat", matrix));
    EXPECT_EQ("1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1 ", Text(matrix));
    EXPECT_FALSE(doc->ReadMatrix("absent", matrix));

    float vector[4] = {-1, -1, -1, -1};
    EXPECT_TRUE(doc->ReadVector("vec", vector));
    EXPECT_EQ("-1 2 -1 4 ", Text(vector));
    EXPECT_FALSE(doc->ReadVector("absent", vector));
    EXPECT_EQ("-1 2 -1 4 ", Text(vector));
}

} // namespace
