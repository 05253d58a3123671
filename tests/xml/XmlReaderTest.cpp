#include "core/xml/XmlReader.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace {

// A reader opened on a document made of body; the caller closes it.
class OpenedReader {
public:
    OpenedReader(const std::string& body, const char* root = "root") {
        WriteWholeFile(dir / "doc.xml", body);
        reader = XmlReader::Create();
        opened = reader->Open((dir / "doc.xml").c_str(), root, __FILE__, __LINE__);
    }
    ~OpenedReader() { reader->Close(); }
    XmlReader* operator->() { return reader; }

    TempDir dir;
    XmlReader* reader;
    bool opened;
};

TEST(XmlReader, OpenFindsTheRootOrFails) {
    OpenedReader good("<?xml version=\"1.0\"?>\n<root><a/></root>");
    EXPECT_TRUE(good.opened);
    EXPECT_EQ(0, good->depth);
    EXPECT_EQ(good->stack[0], good->current);

    EXPECT_FALSE(OpenedReader("<root><a></root>").opened);         // not well-formed
    EXPECT_FALSE(OpenedReader("<Root></Root>").opened);            // names keep their case
    EXPECT_FALSE(OpenedReader("").opened);                         // empty
    EXPECT_FALSE(OpenedReader("<other/><!-- --><x/>").opened);     // no such root
    EXPECT_TRUE(OpenedReader("<!-- first -->\r\n<root/>").opened); // the root need not come first

    TempDir dir;
    XmlReader* missing = XmlReader::Create();
    EXPECT_FALSE(missing->Open((dir / "missing.xml").c_str(), "root", __FILE__, __LINE__));
    missing->Close();

    // Paths beyond the reader's limit fail before the file system sees them.
    const std::string longPath = dir.Path() + "/" + std::string(XmlReader::kMaxPathLength, 'p');
    XmlReader* tooLong = XmlReader::Create();
    EXPECT_FALSE(tooLong->Open(longPath.c_str(), "root", __FILE__, __LINE__));
    tooLong->Close();
}

TEST(XmlReader, EnterAndLeaveWalkChildrenAndConsumeThem) {
    OpenedReader doc("<root>item<!--item--><item><v>1</v></item><other/><item><v>2</v></item>"
                     "</root>");
    ASSERT_TRUE(doc.opened);
    XmlReader* reader = doc.reader;
    TiXmlNode* root = reader->current;

    EXPECT_FALSE(reader->EnterChild("missing"));
    EXPECT_EQ(0, reader->depth);
    EXPECT_EQ(root, reader->current);

    // Text and comments are never entered, even when they read like the name.
    char value[8];
    ASSERT_TRUE(reader->EnterChild("item"));
    EXPECT_EQ(1, reader->depth);
    EXPECT_NE(root, reader->current);
    EXPECT_TRUE(reader->ReadText("v", value));
    EXPECT_STREQ("1", value);
    reader->LeaveChild();
    EXPECT_EQ(0, reader->depth);
    EXPECT_EQ(root, reader->current);

    // The first item is gone, so the same name now finds the second.
    ASSERT_TRUE(reader->EnterChild("item"));
    EXPECT_TRUE(reader->ReadText("v", value));
    EXPECT_STREQ("2", value);
    reader->LeaveChild();
    EXPECT_FALSE(reader->EnterChild("item"));
    EXPECT_TRUE(reader->EnterChild("other"));

    // The second leave stands at the root and does nothing.
    reader->LeaveChild();
    reader->LeaveChild();
    EXPECT_EQ(0, reader->depth);
    EXPECT_EQ(root, reader->current);
    EXPECT_FALSE(reader->EnterChild("other"));
}

TEST(XmlReader, EnterStopsAtTheStackLimit) {
    const int levels = XmlReader::kStackSize + 10;
    std::string body;
    for (int i = 0; i < levels; ++i)
        body += "<n>";
    body += "<leaf>deep</leaf>";
    for (int i = 0; i < levels; ++i)
        body += "</n>";
    OpenedReader doc(body, "n");
    ASSERT_TRUE(doc.opened);

    int entered = 0;
    while (doc->EnterChild("n"))
        ++entered;
    EXPECT_EQ(XmlReader::kStackSize - 1, entered);
    EXPECT_EQ(XmlReader::kStackSize - 1, doc->depth);
    EXPECT_EQ(doc->stack[doc->depth], doc->current);
    EXPECT_FALSE(doc->EnterChild("n"));
    EXPECT_EQ(XmlReader::kStackSize - 1, doc->depth);
    while (doc->depth > 0)
        doc->LeaveChild();
    EXPECT_EQ(doc->stack[0], doc->current);
}

TEST(XmlReader, ReadTextCutsToTheBufferAndTreatsNonTextAsEmpty) {
    OpenedReader doc("<root><short>a &amp; b &lt;c&gt;</short><long>0123456789</long>"
                     "<empty/><commented><!-- note -->text</commented><nested><x/>t</nested>"
                     "<cdata><![CDATA[<raw>]]></cdata><twice>first</twice><twice>second</twice>"
                     "</root>");
    ASSERT_TRUE(doc.opened);
    char text[8];
    EXPECT_TRUE(doc->ReadText("short", text, sizeof text));
    EXPECT_STREQ("a & b <", text);

    // Under AddressSanitizer a copy past the buffer would stop the test here.
    char small[5] = {'x', 'x', 'x', 'x', 'x'};
    EXPECT_TRUE(doc->ReadText("long", small));
    EXPECT_STREQ("0123", small);

    for (const char* name : {"empty", "commented", "nested"}) {
        text[0] = 'x';
        text[1] = '\0';
        EXPECT_TRUE(doc->ReadText(name, text)) << name;
        EXPECT_STREQ("", text) << name;
    }
    EXPECT_TRUE(doc->ReadText("cdata", text));
    EXPECT_STREQ("<raw>", text);
    EXPECT_TRUE(doc->ReadText("twice", text));
    EXPECT_STREQ("first", text);

    text[0] = 'k';
    EXPECT_FALSE(doc->ReadText("absent", text));
    EXPECT_EQ('k', text[0]);
}

TEST(XmlReader, TypedReadersTakeTheirTextsAndKeepValuesWithoutText) {
    OpenedReader doc("<root><one>1</one><zero>0</zero><word>true</word><empty/>"
                     "<int>42abc</int><negative>-17</negative><huge>99999999999</huge>"
                     "<tiny>-99999999999</tiny><junk>x1</junk>"
                     "<f>  -1.25e2xyz</f><nofloat>abc</nofloat><inf>-Infinity</inf>"
                     "<nan>NaN</nan><big>1e300</big><half>.5</half><exp>3e</exp></root>");
    ASSERT_TRUE(doc.opened);

    bool flag = false;
    EXPECT_TRUE(doc->ReadBool("one", &flag));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(doc->ReadBool("zero", &flag));
    EXPECT_FALSE(flag);
    flag = true;
    EXPECT_TRUE(doc->ReadBool("word", &flag));
    EXPECT_FALSE(flag);
    flag = true;
    EXPECT_TRUE(doc->ReadBool("empty", &flag));
    EXPECT_TRUE(flag);
    EXPECT_FALSE(doc->ReadBool("absent", &flag));

    int32_t number = 5;
    EXPECT_TRUE(doc->ReadInt("int", &number));
    EXPECT_EQ(42, number);
    EXPECT_TRUE(doc->ReadLong("negative", &number));
    EXPECT_EQ(-17, number);
    EXPECT_TRUE(doc->ReadInt("huge", &number));
    EXPECT_EQ(INT32_MAX, number);
    EXPECT_TRUE(doc->ReadLong("tiny", &number));
    EXPECT_EQ(INT32_MIN, number);
    EXPECT_TRUE(doc->ReadInt("junk", &number));
    EXPECT_EQ(0, number);
    number = 5;
    EXPECT_TRUE(doc->ReadLong("empty", &number));
    EXPECT_EQ(5, number);
    EXPECT_FALSE(doc->ReadInt("absent", &number));
    EXPECT_EQ(5, number);

    float value = 7.0f;
    EXPECT_TRUE(doc->ReadFloat("f", &value));
    EXPECT_EQ(-125.0f, value);
    EXPECT_TRUE(doc->ReadFloat("nofloat", &value));
    EXPECT_EQ(0.0f, value);
    EXPECT_TRUE(doc->ReadFloat("inf", &value));
    EXPECT_TRUE(std::isinf(value) && value < 0);
    EXPECT_TRUE(doc->ReadFloat("nan", &value));
    EXPECT_TRUE(std::isnan(value));
    EXPECT_TRUE(doc->ReadFloat("big", &value));
    EXPECT_TRUE(std::isinf(value) && value > 0);
    EXPECT_TRUE(doc->ReadFloat("half", &value));
    EXPECT_EQ(0.5f, value);
    EXPECT_TRUE(doc->ReadFloat("exp", &value));
    EXPECT_EQ(3.0f, value);
    value = 7.0f;
    EXPECT_TRUE(doc->ReadFloat("empty", &value));
    EXPECT_EQ(7.0f, value);
    EXPECT_FALSE(doc->ReadFloat("absent", &value));
    EXPECT_EQ(7.0f, value);
}

TEST(XmlReader, ReadFloatTakesADecimalCommaAndLeavesADotInTheDocument) {
    OpenedReader doc("<root><comma>2,5</comma><dot>2.5</dot><two>1,5,5</two></root>");
    ASSERT_TRUE(doc.opened);
    float value = 0.0f;
    EXPECT_TRUE(doc->ReadFloat("comma", &value));
    EXPECT_EQ(2.5f, value);
    EXPECT_TRUE(doc->ReadFloat("dot", &value));
    EXPECT_EQ(2.5f, value);
    EXPECT_TRUE(doc->ReadFloat("two", &value));
    EXPECT_EQ(1.5f, value);

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
    for (float& cell : matrix)
        cell = 42.0f;
    EXPECT_TRUE(doc->ReadMatrix("move", matrix));
    const float expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2.5f, -3, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(expected[i], matrix[i]) << i;
    // A value element without children gives the plain identity.
    EXPECT_TRUE(doc->ReadMatrix("flat", matrix));
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(i % 5 == 0 ? 1.0f : 0.0f, matrix[i]) << i;
    EXPECT_FALSE(doc->ReadMatrix("absent", matrix));

    float vector[4] = {-1, -1, -1, -1};
    EXPECT_TRUE(doc->ReadVector("vec", vector));
    EXPECT_EQ(-1.0f, vector[0]);
    EXPECT_EQ(2.0f, vector[1]);
    EXPECT_EQ(-1.0f, vector[2]);
    EXPECT_EQ(4.0f, vector[3]);
    EXPECT_FALSE(doc->ReadVector("absent", vector));
    EXPECT_EQ(2.0f, vector[1]);
}

} // namespace
