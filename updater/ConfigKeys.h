// The keys of launcher.ini (section "Config"): name, default and the size of the buffer that
// takes a text value. The default texts are the product's own, spelling included.
#pragma once

#include <cstdint>

struct ConfigText {
    const char* name;
    const char* defaultValue;
    uint32_t size;
};

struct ConfigNumber {
    const char* name;
    int32_t defaultValue;
};

namespace config {

constexpr const char* kSection = "Config";

// Read by the process entry for the splash window and its status line. The font face and the
// font size come from the same key.
constexpr ConfigNumber kWidth{"width", 100};
constexpr ConfigNumber kHeight{"height", 100};
constexpr ConfigText kFontFace{"FontSize", "New Times Roman", 128};
constexpr ConfigNumber kFontSize{"FontSize", 16};
constexpr ConfigNumber kFontRed{"Font_r", 255};
constexpr ConfigNumber kFontGreen{"Font_g", 255};
constexpr ConfigNumber kFontBlue{"Font_b", 255};
constexpr ConfigNumber kTextX{"text_x", 10};
constexpr ConfigNumber kTextY{"text_y", 100};
constexpr ConfigText kTextCheck{"TextCheck", "New Times Roman", 128};
constexpr ConfigText kTextDownload{"TextDownload", "New Times Roman", 128};
constexpr ConfigText kTextApply{"TextApply", "New Times Roman", 128};
// The download's speed and time left beside "TextDownload"; empty shows none.
constexpr ConfigText kTextSpeed{"TextSpeed", "", 128};
// The splash window's progress bar, drawn only with a width and a height above 0 so that no
// existing picture is covered. Its unfilled part shows the picture unless all three "BarBack"
// colour parts are given (0 or more).
constexpr ConfigNumber kBarX{"bar_x", 0};
constexpr ConfigNumber kBarY{"bar_y", 0};
constexpr ConfigNumber kBarWidth{"bar_width", 0};
constexpr ConfigNumber kBarHeight{"bar_height", 0};
constexpr ConfigNumber kBarRed{"Bar_r", 255};
constexpr ConfigNumber kBarGreen{"Bar_g", 255};
constexpr ConfigNumber kBarBlue{"Bar_b", 255};
constexpr ConfigNumber kBarBackRed{"BarBack_r", -1};
constexpr ConfigNumber kBarBackGreen{"BarBack_g", -1};
constexpr ConfigNumber kBarBackBlue{"BarBack_b", -1};

// Read by the updater at the start of its run, in this order.
constexpr int kServerCount = 5;
constexpr ConfigText kServerUrl[kServerCount] = {{"URL1", "no-server", 512},
                                                 {"URL2", "no-server", 512},
                                                 {"URL3", "no-server", 512},
                                                 {"URL4", "no-server", 512},
                                                 {"URL5", "no-server", 512}};
constexpr ConfigText kApp{"App", "no.app", 512};
constexpr ConfigText kErrCaption{"Err_Caption", "Error", 128};
constexpr ConfigText kErrNotAdmin{"Err_notadmin", "Not admin", 128};
constexpr ConfigText kErrNoConnection{"Err_noconnection", "Server is not avaible", 128};
constexpr ConfigText kErrDownloadUpdate{"Err_DownloadUpdateError", "Update download error", 128};
constexpr ConfigText kErrNeedDiskSpace{"Err_Needdiskspace", "Not enought disk space", 128};
constexpr ConfigText kErrExtracting{"Err_extractingerror", "Apply Update Error", 128};
constexpr ConfigText kErrSignature{"Err_Signature", "Update list signature is not valid", 128};
// The base64 line of the studio's minisign public key; empty: lists are taken unsigned.
constexpr ConfigText kListKey{"ListKey", "", 128};
// Only when "installed_updates" names no version.
constexpr ConfigText kBaseVersion{"BaseVersion", "1.0", 32};

} // namespace config

// Reads key from the file at iniPath into destination, which holds key.size bytes; a missing
// file or key gives the default, a longer value is cut to key.size - 1 characters.
void ReadConfigText(const ConfigText& key, char* destination, const char* iniPath);
int32_t ReadConfigNumber(const ConfigNumber& key, const char* iniPath);
