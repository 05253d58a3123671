#include "core/xml/XmlValueWriter.h"

#include "core/files/FileStream.h"
#include "core/xml/XmlReader.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

namespace {

const float kInfinity = std::numeric_limits<float>::infinity();

// Writes "<root>", whatever write adds and "</root>" to dir/doc.xml; returns a reader on it
// that the caller closes.
XmlReader* WriteDocument(const TempDir& dir, const std::function<void(FileStream*)>& write) {
    FileStream* file = FileStream::Create();
    EXPECT_TRUE(file->Open((dir / "doc.xml").c_str(), WriteBinary, __FILE__, __LINE__));
    FilePrintLine(file, "<root>");
    write(file);
    FilePrintLine(file, "</root>");
    file->Close();
    XmlReader* reader = XmlReader::Create();
    EXPECT_TRUE(reader->Open((dir / "doc.xml").c_str(), "root", __FILE__, __LINE__));
    return reader;
}

// Text longer than a printed line is written whole; the fourth column of a matrix is not
// written and reads back as the identity's.
TEST(XmlValueWriter, WritesOneUnindentedLinePerValueThatReadsBack) {
    TempDir dir;
    const std::string text = "Tom & Jerry <3>" + std::string(1100, 'L');
    const float matrix[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    const float vector[4] = {0.5f, -kInfinity, std::numeric_limits<float>::quiet_NaN(), FLT_MAX};
    XmlReader* reader = WriteDocument(dir, [&](FileStream* file) {
        WriteTextElement(file, "name", text.c_str());
        WriteBoolElement(file, "yes", 2);
        WriteBoolElement(file, "no", 0);
        WriteFloatElement(file, "f", -654321.5f);
        WriteIntElement(file, "i", INT32_MAX);
        WriteLongElement(file, "l", INT32_MIN);
        WriteMatrixElement(file, "m", matrix);
        WriteVectorElement(file, "v", vector);
    });
    EXPECT_EQ("<root>\n<name>Tom &amp; Jerry &lt;3&gt;" + std::string(1100, 'L') +
                  "</name>\n<yes>1</yes>\n<no>0</no>\n<f>-654321.500000</f>\n"
                  "<i>2147483647</i>\n<l>-2147483648</l>\n<m>\n"
                  "<m11>1.000000</m11>\n<m12>2.000000</m12>\n<m13>3.000000</m13>\n"
                  "<m21>5.000000</m21>\n<m22>6.000000</m22>\n<m23>7.000000</m23>\n"
                  "<m31>9.000000</m31>\n<m32>10.000000</m32>\n<m33>11.000000</m33>\n"
                  "<m41>13.000000</m41>\n<m42>14.000000</m42>\n<m43>15.000000</m43>\n</m>\n"
                  "<v>\n<x>0.500000</x>\n<y>-inf</y>\n<z>nan</z>\n"
                  "<w>340282346638528859811704183484516925440.000000</w>\n</v>\n</root>\n",
              ReadWholeFile(dir / "doc.xml"));

    std::string read(text.size() + 1, '\0');
    EXPECT_TRUE(reader->ReadText("name", &read[0], read.size()));
    EXPECT_EQ(text, read.c_str());
    bool flag = false;
    EXPECT_TRUE(reader->ReadBool("yes", &flag) && flag);
    float value = 0;
    EXPECT_TRUE(reader->ReadFloat("f", &value));
    EXPECT_EQ(-654321.5f, value);
    int32_t number = 0;
    EXPECT_TRUE(reader->ReadLong("l", &number));
    EXPECT_EQ(INT32_MIN, number);
    float readMatrix[16];
    EXPECT_TRUE(reader->ReadMatrix("m", readMatrix));
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(i % 4 != 3 ? matrix[i] : i == 15 ? 1.0f : 0.0f, readMatrix[i]) << i;
    float readVector[4];
    EXPECT_TRUE(reader->ReadVector("v", readVector));
    EXPECT_EQ(-kInfinity, readVector[1]);
    EXPECT_TRUE(std::isnan(readVector[2]));
    EXPECT_EQ(FLT_MAX, readVector[3]);
    reader->Close();
}

TEST(XmlValueWriter, NumbersKeepTheDotUnderADecimalCommaLocale) {
    const std::string previous = setlocale(LC_ALL, nullptr);
    std::string name;
    for (const char* candidate : {"de_DE.UTF-8", "de_DE.utf8", "German_Germany.1252", "de-DE"})
        if (name.empty() && setlocale(LC_ALL, candidate) && *localeconv()->decimal_point == ',')
            name = candidate;
    if (name.empty()) {
        setlocale(LC_ALL, previous.c_str());
        GTEST_SKIP() << "no locale with a decimal comma is installed (e.g. de_DE.UTF-8)";
    }
    char formatted[16];
    snprintf(formatted, sizeof formatted, "%.2f", 2.5);
    EXPECT_STREQ("2,50", formatted) << "the locale " << name << " is not in force";

    TempDir dir;
    XmlReader* reader = WriteDocument(dir, [&](FileStream* file) {
        WriteFloatElement(file, "f", -0.25f);
        FilePrintLine(file, "<comma>2,5</comma>");
        FilePrintLine(file, "<dot>2.5</dot>");
    });
    EXPECT_EQ("<root>\n<f>-0.250000</f>\n<comma>2,5</comma>\n<dot>2.5</dot>\n</root>\n",
              ReadWholeFile(dir / "doc.xml"));
    for (const auto& row : {std::make_pair("f", -0.25f), {"comma", 2.5f}, {"dot", 2.5f}}) {
        float value = 0;
        EXPECT_TRUE(reader->ReadFloat(row.first, &value));
        EXPECT_EQ(row.second, value) << row.first;
    }
    reader->Close();
    setlocale(LC_ALL, previous.c_str());
}

} // namespace
