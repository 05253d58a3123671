#include "core/strings/ClipboardText.h"

#include <gtest/gtest.h>

namespace {

TEST(Clipboard, TextRoundTripsAndIsCutToTheDestination) {
    ASSERT_NE(0, ClipboardSetText("launcher clipboard text"));
    char out[64] = "stale";
    EXPECT_NE(0, ClipboardGetText(out, sizeof out));
    EXPECT_STREQ("launcher clipboard text", out);
    char small[9];
    ClipboardGetText(small, sizeof small);
    EXPECT_STREQ("launcher", small);
}

} // namespace
