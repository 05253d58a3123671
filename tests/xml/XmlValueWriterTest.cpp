#include "core/xml/XmlValueWriter.h"

#include "core/files/FileStream.h"
#include "core/xml/XmlReader.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>

namespace {

// Writes "<root>", whatever write adds, "</root>" to path.
void WriteDocument(const std::string& path, const std::function<void(FileStream*)>& write) {
    FileStream* file = FileStream::Create();
    ASSERT_TRUE(file->Open(path.c_str(), WriteBinary, __FILE__, __LINE__));
    FilePrintLine(file, "<root>");
    write(file);
    FilePrintLine(file, "</root>");
    file->Close();
}

XmlReader* OpenRoot(const std::string& path) {
    XmlReader* reader = XmlReader::Create();
    EXPECT_TRUE(reader->Open(path.c_str(), "root", __FILE__, __LINE__)) << ReadWholeFile(path);
    return reader;
}

// Switches the process to a locale with a decimal comma for one test; empty when the system
// has none of the names tried.
class CommaLocale {
public:
    CommaLocale() {
        previous = setlocale(LC_ALL, nullptr);
        for (const char* candidate :
             {"de_DE.UTF-8", "de_DE.utf8", "German_Germany.1252", "de-DE"}) {
            if (setlocale(LC_ALL, candidate) && *localeconv()->decimal_point == ',') {
                name = candidate;
                return;
            }
        }
        setlocale(LC_ALL, previous.c_str());
    }
    ~CommaLocale() { setlocale(LC_ALL, previous.c_str()); }

    std::string name;

private:
    std::string previous;
};

TEST(XmlValueWriter, WritesOneUnindentedLinePerValue) {
    TempDir dir;
    const float matrix[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    const float vector[4] = {0.5f, -0.25f, 0, 1e6f};
    WriteDocument(dir / "values.xml", [&](FileStream* file) {
        WriteTextElement(file, "name", "Tom & Jerry <3>");
        WriteBoolElement(file, "yes", 2);
        WriteBoolElement(file, "no", 0);
        WriteFloatElement(file, "f", 1.5f);
        WriteIntElement(file, "i", -7);
        WriteLongElement(file, "l", INT32_MIN);
        WriteMatrixElement(file, "m", matrix);
        WriteVectorElement(file, "v", vector);
    });
    EXPECT_EQ("<root>\n"
              "<name>Tom &amp; Jerry &lt;3&gt;</name>\n"
              "<yes>1</yes>\n"
              "<no>0</no>\n"
              "<f>1.500000</f>\n"
              "<i>-7</i>\n"
              "<l>-2147483648</l>\n"
              "<m>\n"
              "<m11>1.000000</m11>\n<m12>2.000000</m12>\n<m13>3.000000</m13>\n"
              "<m21>5.000000</m21>\n<m22>6.000000</m22>\n<m23>7.000000</m23>\n"
              "<m31>9.000000</m31>\n<m32>10.000000</m32>\n<m33>11.000000</m33>\n"
              "<m41>13.000000</m41>\n<m42>14.000000</m42>\n<m43>15.000000</m43>\n"
              "</m>\n"
              "<v>\n"
              "<x>0.500000</x>\n<y>-0.250000</y>\n<z>0.000000</z>\n<w>1000000.000000</w>\n"
              "</v>\n"
              "</root>\n",
              ReadWholeFile(dir / "values.xml"));
}

TEST(XmlValueWriter, EveryValueReadsBack) {
    TempDir dir;
    const std::string longText = std::string(3000, 'L') + "&<>" + std::string(100, 'T');
    const float matrix[16] = {1.25f, -2, 3, 99, 4, 5.5f, 6, 99, 7, 8, 9.75f, 99, 10, 11, 12, 99};
    const float vector[4] = {0.123456f, -654321.5f, FLT_MAX, -FLT_MAX};
    const float infinity = std::numeric_limits<float>::infinity();
    WriteDocument(dir / "values.xml", [&](FileStream* file) {
        WriteTextElement(file, "text", "a <b> & \"c\" 'd'");
        WriteTextElement(file, "long", longText.c_str());
        WriteBoolElement(file, "yes", 255);
        WriteBoolElement(file, "no", 0);
        WriteFloatElement(file, "small", 0.000001f);
        WriteFloatElement(file, "inf", -infinity);
        WriteFloatElement(file, "nan", std::numeric_limits<float>::quiet_NaN());
        WriteIntElement(file, "i", INT32_MAX);
        WriteLongElement(file, "l", -123456789);
        WriteMatrixElement(file, "m", matrix);
        WriteVectorElement(file, "v", vector);
    });

    XmlReader* reader = OpenRoot(dir / "values.xml");
    char text[64];
    EXPECT_TRUE(reader->ReadText("text", text));
    EXPECT_STREQ("a <b> & \"c\" 'd'", text);
    std::string longRead(longText.size() + 1, '\0');
    EXPECT_TRUE(reader->ReadText("long", &longRead[0], longRead.size()));
    EXPECT_EQ(longText, longRead.c_str());

    bool flag = false;
    EXPECT_TRUE(reader->ReadBool("yes", &flag));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(reader->ReadBool("no", &flag));
    EXPECT_FALSE(flag);

    float value = 0;
    EXPECT_TRUE(reader->ReadFloat("small", &value));
    EXPECT_EQ(0.000001f, value);
    EXPECT_TRUE(reader->ReadFloat("inf", &value));
    EXPECT_EQ(-infinity, value);
    EXPECT_TRUE(reader->ReadFloat("nan", &value));
    EXPECT_TRUE(std::isnan(value));

    int32_t number = 0;
    EXPECT_TRUE(reader->ReadInt("i", &number));
    EXPECT_EQ(INT32_MAX, number);
    EXPECT_TRUE(reader->ReadLong("l", &number));
    EXPECT_EQ(-123456789, number);

    // Six decimals are what is kept; the fourth column comes back as the identity's.
    float readMatrix[16];
    EXPECT_TRUE(reader->ReadMatrix("m", readMatrix));
    for (int i = 0; i < 16; ++i) {
        if (i % 4 == 3)
            EXPECT_EQ(i == 15 ? 1.0f : 0.0f, readMatrix[i]) << i;
        else
            EXPECT_EQ(matrix[i], readMatrix[i]) << i;
    }
    float readVector[4] = {};
    EXPECT_TRUE(reader->ReadVector("v", readVector));
    EXPECT_NEAR(vector[0], readVector[0], 5e-7);
    EXPECT_EQ(vector[1], readVector[1]);
    EXPECT_EQ(FLT_MAX, readVector[2]);
    EXPECT_EQ(-FLT_MAX, readVector[3]);
    reader->Close();
}

TEST(XmlValueWriter, NumbersKeepTheDotUnderADecimalCommaLocale) {
    CommaLocale locale;
    if (locale.name.empty())
        GTEST_SKIP() << "no locale with a decimal comma is installed (e.g. de_DE.UTF-8)";
    char formatted[16];
    snprintf(formatted, sizeof formatted, "%.2f", 2.5);
    ASSERT_STREQ("2,50", formatted) << "the locale " << locale.name << " is not in force";

    TempDir dir;
    const float vector[4] = {-0.25f, 2.5f, 1e-3f, 1000.5f};
    WriteDocument(dir / "values.xml", [&](FileStream* file) {
        WriteFloatElement(file, "f", -0.25f);
        WriteVectorElement(file, "v", vector);
        FilePrintLine(file, "<comma>2,5</comma>");
        FilePrintLine(file, "<dot>2.5</dot>");
    });
    const std::string written = ReadWholeFile(dir / "values.xml");
    EXPECT_NE(std::string::npos, written.find("<f>-0.250000</f>")) << written;
    EXPECT_NE(std::string::npos, written.find("<w>1000.500000</w>")) << written;

    XmlReader* reader = OpenRoot(dir / "values.xml");
    float value = 0;
    EXPECT_TRUE(reader->ReadFloat("f", &value));
    EXPECT_EQ(-0.25f, value);
    EXPECT_TRUE(reader->ReadFloat("comma", &value));
    EXPECT_EQ(2.5f, value);
    EXPECT_TRUE(reader->ReadFloat("dot", &value));
    EXPECT_EQ(2.5f, value);
    float readVector[4] = {};
    EXPECT_TRUE(reader->ReadVector("v", readVector));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(vector[i], readVector[i]) << i;
    reader->Close();
}

} // namespace
