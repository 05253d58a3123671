// A top-level window for control tests under Wine. It stays hidden unless a test paints: Wine
// waits about 2 s for a shown window to be withdrawn when it is destroyed.
#pragma once

#include "core/gui/WidgetEvent.h"
#include "core/gui/WindowWidget.h"

#include <gtest/gtest.h>

#include <string>

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = new WindowWidget(50, "", true, 0, 0, 500, 400);
        SetWidgetEvent(0, 0);
    }
    void TearDown() override { window->Destroy(); }

    WindowWidget* window = nullptr;
    // Outlives the window, whose teardown deletes probes that write here.
    std::string log;
};
