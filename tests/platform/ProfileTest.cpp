// The same table runs on every target; on Windows the system's profile functions answer it.
#include "core/platform/Profile.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

const char kLauncherIni[] = "[config]\r\n"
                            "  URL1   =   http://one.example/list.xml   \r\n"
                            "url2=http://two.example/list.xml\r\n"
                            "URL2=second copy does not count\r\n"
                            "App=\"game.exe\"\r\n"
                            "Quoted='single'\r\n"
                            "Unbalanced=\"open\r\n"
                            "OnlyQuote=\"\r\n"
                            "EmptyQuotes=''\r\n"
                            "NoEquals\r\n"
                            "Empty=\r\n"
                            "Equals=a=b=c\r\n"
                            "Digits=12abc\r\n"
                            "Letters=abc\r\n"
                            "Negative=-42\r\n"
                            "Plus= +7\r\n"
                            "Hex=0x1F\r\n"
                            "Octal=0o17\r\n"
                            "Binary=0b101\r\n"
                            "UpperHex=0X1F\r\n"
                            "QuotedNumber=\" 12\"\r\n"
                            "Wrapping=4294967297\r\n"
                            "LongNumber=0000000000000000000000000000012\r\n"
                            "[Other]\r\n"
                            "App=other.exe\r\n"
                            "[CONFIG]\r\n"
                            "Later=second section of the same name is not searched\r\n";

// Unix line ends, a byte order mark right before the header, blanks around it, tabs.
const char kPlainIni[] = "\xEF\xBB\xBF"
                         "   [Config]   \n"
                         "\tFontSize\t=\t20\t\n"
                         "[Broken\n"
                         "AfterBroken=still in Config\n"
                         "[ Spaced ]\n"
                         "Key=in spaced section\n";

// Saved as "Unicode" by Notepad: UTF-16LE with a byte order mark.
std::string Utf16Le(const std::string& text) {
    std::string bytes = "\xFF\xFE";
    for (char c : text)
        bytes += std::string{c, '\0'};
    return bytes;
}

// file, section, key, default, size, expected text.
using StringCase =
    std::tuple<const char*, const char*, const char*, const char*, unsigned, const char*>;
const StringCase kStringCases[] = {
    {"launcher.ini", "Config", "URL1", "no-server", 512, "http://one.example/list.xml"},
    {"launcher.ini", "Config", "URL2", "no-server", 512, "http://two.example/list.xml"},
    {"launcher.ini", "Config", "App", "no.app", 512, "game.exe"},
    {"launcher.ini", "Config", "Quoted", "", 512, "single"},
    {"launcher.ini", "Config", "Unbalanced", "", 512, "\"open"},
    {"launcher.ini", "Config", "OnlyQuote", "", 512, "\""},
    {"launcher.ini", "Config", "EmptyQuotes", "", 512, ""},
    {"launcher.ini", "Config", "NoEquals", "fallback", 512, "fallback"},
    {"launcher.ini", "Config", "Empty", "fallback", 512, ""},
    {"launcher.ini", "Config", "Equals", "", 512, "a=b=c"},
    {"launcher.ini", "Config", "Later", "fallback", 512, "fallback"},
    {"launcher.ini", "Other", "App", "no.app", 512, "other.exe"},
    {"launcher.ini", "Config", "Missing", "trailing blanks go   ", 512, "trailing blanks go"},
    {"launcher.ini", "Config", "Missing", "\"quoted default\"", 512, "quoted default"},
    // Cut at size - 1.
    {"launcher.ini", "Config", "URL1", "", 11, "http://one"},
    {"plain.ini", "Config", "FontSize", "New Times Roman", 128, "20"},
    {"plain.ini", "Config", "AfterBroken", "", 128, "still in Config"},
    {"plain.ini", " Spaced ", "Key", "fallback", 128, "in spaced section"},
    {"unicode.ini", "Config", "Font", "fallback", 128, "Arial"},
    {"missing.ini", "Config", "URL1", "no-server", 3, "no"},
};

TEST(Profile, StringsAndNumbersAgreeWithTheSystemReader) {
    TempDir dir;
    WriteWholeFile(dir / "launcher.ini", kLauncherIni);
    WriteWholeFile(dir / "plain.ini", kPlainIni);
    WriteWholeFile(dir / "unicode.ini", Utf16Le("[Config]\r\nFontSize=24\r\nFont=Arial\r\n"));
    for (const auto& [file, section, key, defaultValue, size, expected] : kStringCases) {
        SCOPED_TRACE(std::string(file) + " [" + section + "] " + key);
        char buffer[512];
        memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(strlen(expected), PlatformProfileString(section, key, defaultValue, buffer, size,
                                                          (dir / file).c_str()));
        EXPECT_STREQ(expected, buffer);
        EXPECT_EQ('x', buffer[size < sizeof buffer ? size : sizeof buffer - 1]);
    }
    // Numbers as the system reads them; a missing or empty value gives the default.
    const std::pair<const char*, int> numbers[] = {
        {"height", 9},   {"Digits", 12}, {"Letters", 0},   {"Negative", -42}, {"Plus", 7},
        {"Hex", 31},     {"Octal", 15},  {"Binary", 5},    {"UpperHex", 0},   {"QuotedNumber", 12},
        {"Wrapping", 1}, {"Empty", 9},   {"LongNumber", 0}};
    for (const auto& number : numbers)
        EXPECT_EQ(number.second,
                  PlatformProfileInt("Config", number.first, 9, (dir / "launcher.ini").c_str()))
            << number.first;
}

} // namespace
