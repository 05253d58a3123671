#include "core/strings/ClipboardText.h"

#include <gtest/gtest.h>

namespace {

TEST(Clipboard, WithoutAClipboardGettingEmptiesAndSettingFails) {
    char out[16] = "stale";
    EXPECT_EQ(0, ClipboardGetText(out, sizeof out));
    EXPECT_STREQ("", out);
    EXPECT_EQ(0, ClipboardSetText("text"));
}

} // namespace
