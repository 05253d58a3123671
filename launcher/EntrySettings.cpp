#include "launcher/EntrySettings.h"

#include "core/platform/Directory.h"
#include "core/strings/BoundedText.h"
#include "updater/ConfigKeys.h"
#include "updater/Updater.h"

static_assert(config::kFontFace.size == EntrySettings::kTextSize &&
                  config::kTextCheck.size == EntrySettings::kTextSize &&
                  config::kTextDownload.size == EntrySettings::kTextSize &&
                  config::kTextApply.size == EntrySettings::kTextSize &&
                  config::kTextSpeed.size == EntrySettings::kTextSize,
              "entry text buffers");

void ReadEntrySettings(const char* iniPath, EntrySettings* settings) {
    settings->width = ReadConfigNumber(config::kWidth, iniPath);
    settings->height = ReadConfigNumber(config::kHeight, iniPath);
    ReadConfigText(config::kFontFace, settings->fontFace, iniPath);
    settings->fontSize = ReadConfigNumber(config::kFontSize, iniPath);
    settings->fontR = ReadConfigNumber(config::kFontRed, iniPath);
    settings->fontG = ReadConfigNumber(config::kFontGreen, iniPath);
    settings->fontB = ReadConfigNumber(config::kFontBlue, iniPath);
    settings->textX = ReadConfigNumber(config::kTextX, iniPath);
    settings->textY = ReadConfigNumber(config::kTextY, iniPath);
    ReadConfigText(config::kTextCheck, settings->textCheck, iniPath);
    ReadConfigText(config::kTextDownload, settings->textDownload, iniPath);
    ReadConfigText(config::kTextApply, settings->textApply, iniPath);
    ReadConfigText(config::kTextSpeed, settings->textSpeed, iniPath);
    settings->barX = ReadConfigNumber(config::kBarX, iniPath);
    settings->barY = ReadConfigNumber(config::kBarY, iniPath);
    settings->barWidth = ReadConfigNumber(config::kBarWidth, iniPath);
    settings->barHeight = ReadConfigNumber(config::kBarHeight, iniPath);
    settings->barR = ReadConfigNumber(config::kBarRed, iniPath);
    settings->barG = ReadConfigNumber(config::kBarGreen, iniPath);
    settings->barB = ReadConfigNumber(config::kBarBlue, iniPath);
    settings->barBackR = ReadConfigNumber(config::kBarBackRed, iniPath);
    settings->barBackG = ReadConfigNumber(config::kBarBackGreen, iniPath);
    settings->barBackB = ReadConfigNumber(config::kBarBackBlue, iniPath);
}

namespace {
bool FormPath(char (&path)[Updater::kPathSize], const char* directory, const char* suffix) {
    StrCopy(path, sizeof path, directory);
    return StrCat(path, sizeof path, suffix);
}
} // namespace

bool FormLauncherPaths(Updater* updater) {
    char directory[Updater::kPathSize];
    return PlatformCurrentDirectory(directory, sizeof directory) &&
           FormPath(updater->iniPath, directory, "//launcher.ini") &&
           FormPath(updater->launcherUpdaterPath, directory, "//LauncherUpdater.exe") &&
           FormPath(updater->launcherMarkerPath, directory, "//Launcher");
}

WindowPlacement CentredPlacement(int32_t desktopRight, int32_t desktopBottom, int32_t width,
                                 int32_t height) {
    // In double precision, so that no configured size can overflow the difference.
    return {int32_t((double(desktopRight) - width) * 0.5),
            int32_t((double(desktopBottom) - height) * 0.5)};
}
