// The standard controls under Wine: every event comes from the real control, driven by sent
// input or by the control's own messages.
#include "core/gui/ButtonWidget.h"
#include "core/gui/ComboBoxWidget.h"
#include "core/gui/LabelWidget.h"
#include "core/gui/ScrollBarWidget.h"
#include "core/gui/TextBoxWidget.h"
#include "tests/gui/GuiFixture.h"

#include <string>
#include <vector>

namespace {

std::string NativeText(HWND window) {
    char text[300] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

TEST_F(GuiTest, ButtonClickIsRecordedAndSetTextKeepsTheCaption) {
    auto* button = new ButtonWidget(7, window, "Start", 10, 10, 80, 24);
    button->SetText("Stop");
    EXPECT_EQ(NativeText(button->GetHandle()), "Start");
    EXPECT_STREQ(button->GetText(), "Stop");
    SendMessageA(button->GetHandle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWidgetEvent(7, WidgetEventCode::ButtonClicked));
}

TEST_F(GuiTest, ComboBoxSelectsByPrefixAndRecordsUserChanges) {
    auto* combo = new ComboBoxWidget(8, window, "unset", 10, 10, 150, 120);
    for (const char* item : {"Alpha", "Beta", "Beta two", "Gamma"}) {
        combo->AddItem(item);
    }
    const struct {
        const char* text;
        int selection;
        const char* stored;
    } cases[] = {{"Bet", 1, "Beta"}, {"x", 1, "Beta"}, {"gAm", 3, "Gamma"}};
    for (const auto& c : cases) {
        combo->SetText(c.text);
        EXPECT_EQ(combo->GetSelection(), c.selection) << c.text;
        EXPECT_STREQ(combo->GetText(), c.stored) << c.text;
    }
    EXPECT_FALSE(HasWidgetEvent());

    SendMessageA(combo->GetHandle(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(combo->GetSelection(), 2);
    EXPECT_TRUE(IsWidgetEvent(8, WidgetEventCode::ComboSelChanged));
    EXPECT_STREQ(combo->GetText(), "Beta two");
}

TEST_F(GuiTest, LabelsRecordClicksAndFilledOnePaintsWhiteBar) {
    auto* plain = new LabelWidget(9, window, "plain", false, 10, 10, 100, 20);
    auto* filled = new LabelWidget(10, window, "bar", true, 10, 50, 200, 30);
    plain->SetText("changed");
    EXPECT_EQ(NativeText(plain->GetHandle()), "changed");
    for (LabelWidget* label : {plain, filled}) {
        SetWidgetEvent(0, 0);
        SendMessageA(label->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SendMessageA(label->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        EXPECT_TRUE(IsWidgetEvent(label->GetId(), WidgetEventCode::Click));
    }

    window->SetVisible(true);
    RedrawWindow(window->GetHandle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC dc = GetDC(filled->GetHandle());
    // White inside the bar; its outline and what lies below are not.
    const struct {
        int x, y;
        bool white;
    } points[] = {{1, 1, true},     {100, 9, true}, {198, 16, true}, {100, 17, false},
                  {100, 24, false}, {0, 9, false},  {199, 9, false}};
    for (const auto& p : points)
        EXPECT_EQ(GetPixel(dc, p.x, p.y) == RGB(255, 255, 255), p.white) << p.x << "," << p.y;
    ReleaseDC(filled->GetHandle(), dc);
}

// In the window, SetText's own WM_SETTEXT and EN_UPDATE use up the two silent messages; a
// text box inside a label has no routed notifications, so its next character is silent.
// Reading the control's text would count as a message too, so nothing reads it in between.
TEST_F(GuiTest, TextBoxRecordsTypedCharactersButNotItsOwnSetText) {
    auto* label = new LabelWidget(12, window, "", false, 10, 50, 200, 40);
    auto* inWindow = new TextBoxWidget(11, window, "", 10, 10, 150, 24);
    auto* inLabel = new TextBoxWidget(13, label, "", 0, 0, 150, 24);
    const struct {
        TextBoxWidget* box;
        const char* typed;
        const char* recorded;
    } cases[] = {{inWindow, "hi", "yy"}, {inLabel, "ab", "ny"}};
    for (const auto& c : cases) {
        HWND edit = c.box->GetHandle();
        SetWidgetEvent(0, 0);
        c.box->SetText("new");
        EXPECT_FALSE(HasWidgetEvent());
        // SetText leaves the caret at the start.
        std::string typed, before = "new";
        for (int i = 0; c.typed[i]; ++i) {
            SetWidgetEvent(0, 0);
            SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(c.typed[i]), 1);
            bool recorded = c.recorded[i] == 'y';
            EXPECT_EQ(IsWidgetEvent(c.box->GetId(), WidgetEventCode::TextTyped), recorded)
                << c.box->GetId() << " at " << i;
            if (recorded) {
                EXPECT_EQ(std::string(c.box->BaseWidget::GetText()), before);
            }
            typed += c.typed[i];
            before = typed + "new";
            EXPECT_EQ(std::string(c.box->GetText()), before);
        }
    }
}

// Keys go to the real scroll bar, which reports to the window; thumb positions come as the
// window's scroll messages.
TEST_F(GuiTest, ScrollBarFollowsItsNotifications) {
    auto* bar = new ScrollBarWidget(12, window, true, 10, 10, 200, 18);
    HWND native = bar->GetHandle();
    EXPECT_EQ(bar->GetPosition(), 0);
    // A row with a key presses it on the bar; the others send the window a scroll message,
    // from the bar or from no control.
    const struct {
        UINT key;
        WORD code;
        WORD thumb;
        bool fromBar;
        int position;
    } cases[] = {
        {VK_LEFT, 0, 0, true, 0},          {VK_RIGHT, 0, 0, true, 1},
        {VK_NEXT, 0, 0, true, 1},          {VK_PRIOR, 0, 0, true, 1},
        {VK_END, 0, 0, true, 100},         {VK_RIGHT, 0, 0, true, 100},
        {VK_LEFT, 0, 0, true, 99},         {0, SB_THUMBTRACK, 42, true, 42},
        {0, SB_THUMBPOSITION, 7, true, 7}, {0, SB_BOTTOM, 0, false, 7},
        {VK_HOME, 0, 0, true, 0},          {0, SB_THUMBTRACK, 65535, true, 65535},
    };
    for (const auto& c : cases) {
        if (c.key) {
            SendMessageA(native, WM_KEYDOWN, c.key, 0);
        } else {
            SendMessageA(window->GetHandle(), WM_HSCROLL, MAKEWPARAM(c.code, c.thumb),
                         c.fromBar ? reinterpret_cast<LPARAM>(native) : 0);
        }
        EXPECT_EQ(bar->GetPosition(), c.position) << c.key << " " << c.code << " " << c.thumb;
    }
    bar->SetRange(10, 30);
    EXPECT_EQ(bar->GetPosition(), 29);
    EXPECT_FALSE(HasWidgetEvent());
}

} // namespace

// Controls whose widget was deleted without Destroy keep their native window and replaced
// procedure, and windows of the class whose object is gone or never existed keep the class
// procedure; their messages find no widget and get the default procedure's answer.
TEST_F(GuiTest, HandlesWithoutLiveWidgetGetDefaultAnswer) {
    BaseWidget* widgets[] = {new LabelWidget(14, window, "abc", false, 10, 10, 100, 20),
                             new TextBoxWidget(15, window, "abc", 10, 40, 100, 20),
                             new WindowWidget(6, "none", true, 0, 0, 100, 100)};
    std::vector<HWND> handles;
    for (BaseWidget* widget : widgets) {
        handles.push_back(widget->GetHandle());
        window->RemoveChild(widget);
        delete widget;
    }
    handles.push_back(CreateWindowExA(0, "ZEdaroDozaza", "none", WS_POPUP, 0, 0, 100, 100, nullptr,
                                      nullptr, nullptr, nullptr));
    for (HWND native : handles) {
        ASSERT_TRUE(IsWindow(native));
        SetWidgetEvent(0, 0);
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_CHAR})
            SendMessageA(native, message, 'x', MAKELPARAM(5, 5));
        EXPECT_FALSE(HasWidgetEvent());
        EXPECT_EQ(SendMessageA(native, WM_GETTEXTLENGTH, 0, 0),
                  DefWindowProcA(native, WM_GETTEXTLENGTH, 0, 0));
    }
    DestroyWindow(handles[2]);
    DestroyWindow(handles[3]);
}

TEST_F(GuiTest, ControlWithoutParentHasNoWindow) {
    auto* orphan = new ButtonWidget(16, nullptr, "orphan", 0, 0, 10, 10);
    EXPECT_EQ(orphan->GetHandle(), nullptr);
    orphan->SetVisible(false);
    orphan->Destroy();
}
