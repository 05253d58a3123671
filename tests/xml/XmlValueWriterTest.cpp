#include "core/xml/XmlValueWriter.h"

#include "core/files/FileStream.h"
#include "core/xml/XmlReader.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <string>

namespace {

// Under a decimal comma locale numbers keep the dot; text one past a printed line stays whole.
TEST(XmlValueWriter, WritesOneUnindentedLinePerValueWithADotUnderEveryLocale) {
    const std::string previous = setlocale(LC_ALL, nullptr);
    const char* comma = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "German_Germany.1252", "de-DE"})
        if (!comma && setlocale(LC_ALL, name) && *localeconv()->decimal_point == ',')
            comma = name;
    const float matrix[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    const float vector[4] = {0.5f, -INFINITY, NAN, FLT_MAX};
    TempDir dir;
    FileStream* file = FileStream::Create();
    ASSERT_TRUE(file->Open((dir / "doc.xml").c_str(), WriteBinary, __FILE__, __LINE__));
    FilePrintLine(file, "<root>");
    WriteTextElement(file, "name", ("Tom & Jerry <3>" + std::string(986, 'L')).c_str());
    WriteBoolElement(file, "yes", 2);
    WriteBoolElement(file, "no", 0);
    WriteFloatElement(file, "f", -654321.5f);
    WriteIntElement(file, "i", INT32_MAX);
    WriteLongElement(file, "l", INT32_MIN);
    WriteMatrixElement(file, "m", matrix);
    WriteVectorElement(file, "v", vector);
    FilePrintLine(file, "</root>");
    file->Close();
    EXPECT_EQ("<root>\n<name>Tom &amp; Jerry &lt;3&gt;" + std::string(986, 'L') +
                  "</name>\n<yes>1</yes>\n<no>0</no>\n<f>-654321.500000</f>\n"
                  "<i>2147483647</i>\n<l>-2147483648</l>\n<m>\n"
                  "<m11>1.000000</m11>\n<m12>2.000000</m12>\n<m13>3.000000</m13>\n"
                  "<m21>5.000000</m21>\n<m22>6.000000</m22>\n<m23>7.000000</m23>\n"
                  "<m31>9.000000</m31>\n<m32>10.000000</m32>\n<m33>11.000000</m33>\n"
                  "<m41>13.000000</m41>\n<m42>14.000000</m42>\n<m43>15.000000</m43>\n</m>\n"
                  "<v>\n<x>0.500000</x>\n<y>-inf</y>\n<z>nan</z>\n"
                  "<w>340282346638528859811704183484516925440.000000</w>\n</v>\n</root>\n",
              ReadWholeFile(dir / "doc.xml"));

    XmlReader* reader = XmlReader::Create();
    float value = 0;
    EXPECT_TRUE(reader->Open((dir / "doc.xml").c_str(), "root", __FILE__, __LINE__) &&
                reader->ReadFloat("f", &value));
    EXPECT_EQ(-654321.5f, value);
    reader->Close();
    setlocale(LC_ALL, previous.c_str());
    if (!comma)
        GTEST_SKIP() << "no locale with a decimal comma is installed (e.g. de_DE.UTF-8)";
}

} // namespace
