// A top-level window for control tests under Wine, and the message pump they need. The window
// stays hidden unless a test paints: Wine waits about 2 s for a shown window to be withdrawn
// when it is destroyed.
#pragma once

#include "core/gui/WidgetEvent.h"
#include "core/gui/WindowWidget.h"

#include <gtest/gtest.h>

#include <string>

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = new WindowWidget(kWindowId, "", true, 0, 0, 500, 400);
        SetWidgetEvent(0, 0);
    }
    void TearDown() override { window->Destroy(); }

    // Handles every pending message, as the application's frame does.
    static void Pump() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }

    static constexpr int kWindowId = 50;
    WindowWidget* window = nullptr;
    // Outlives the window, whose teardown deletes probes that write here.
    std::string log;
};
