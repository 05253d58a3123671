// gui_gallery [seconds]: shows every control of the window toolkit in one window and reports
// the last widget event in its bottom line. Ends on "Close", when the window is closed, or
// after the given number of seconds.
#include "core/gui/ButtonWidget.h"
#include "core/gui/ComboBoxWidget.h"
#include "core/gui/LabelWidget.h"
#include "core/gui/ScrollBarWidget.h"
#include "core/gui/TabSheetWidget.h"
#include "core/gui/TextBoxWidget.h"
#include "core/gui/TreeViewWidget.h"
#include "core/gui/WidgetEvent.h"
#include "core/gui/WindowWidget.h"
#include "core/strings/BoundedText.h"

#include <cstdio>
#include <cstdlib>

namespace {

enum {
    kPlain = 1,
    kBar,
    kPageButton,
    kPageLabel,
    kTabs,
    kWindow = 100,
    kClose,
    kCombo,
    kText,
    kScroll,
    kVertical,
    kTree,
    kStatus
};

const struct {
    int id;
    int code;
    const char* what;
} kWatched[] = {
    {kPlain, WidgetEventCode::Click, "label clicked"},
    {kBar, WidgetEventCode::Click, "bar clicked"},
    {kPageButton, WidgetEventCode::ButtonClicked, "page button clicked"},
    {kWindow, WidgetEventCode::Click, "window clicked"},
    {kCombo, WidgetEventCode::ComboSelChanged, "combo box selection changed"},
    {kText, WidgetEventCode::TextTyped, "text typed"},
    {kTree, WidgetEventCode::TreeSelChanged, "tree selection changed"},
};

bool closed = false;

class GalleryWindow : public WindowWidget {
public:
    GalleryWindow() : WindowWidget(kWindow, "Widget gallery", false, 40, 40, 640, 420) {}
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_DESTROY) {
            closed = true;
            return 0;
        }
        return WindowWidget::HandleMessage(window, message, wParam, lParam);
    }
};

} // namespace

int main(int argc, char** argv) {
    char* end = nullptr;
    double seconds = argc > 1 ? strtod(argv[1], &end) : 0.0;
    if (argc > 2 || (argc == 2 && (end == argv[1] || *end != '\0' || !(seconds >= 0.0)))) {
        fprintf(stderr, "usage: gui_gallery [seconds]\n");
        return 2;
    }

    auto* window = new GalleryWindow;
    new LabelWidget(kPlain, window, "A plain label", false, 10, 12, 140, 20);
    new LabelWidget(kBar, window, "hidden by the bar", true, 160, 10, 200, 26);
    new ButtonWidget(kClose, window, "Close", 380, 8, 100, 26);

    auto* combo = new ComboBoxWidget(kCombo, window, "", 10, 46, 160, 120);
    for (const char* item : {"Alpha", "Beta", "Gamma"}) {
        combo->AddItem(item);
    }
    combo->SetText("Be");
    new TextBoxWidget(kText, window, "Type here", 180, 46, 200, 24);

    auto* scroll = new ScrollBarWidget(kScroll, window, true, 10, 84, 370, 18);
    scroll->SetRange(10, 100);
    new ScrollBarWidget(kVertical, window, false, 600, 10, 18, 220);

    auto* tabs = new TabSheetWidget(kTabs, window, "", 10, 112, 370, 200);
    tabs->AddPage("First page");
    tabs->AddPage("Second page");
    tabs->AddToPage(0,
                    new ButtonWidget(kPageButton, window, "On the first page", 30, 150, 160, 28));
    tabs->AddToPage(
        1, new LabelWidget(kPageLabel, window, "On the second page", false, 30, 150, 160, 20));

    auto* tree = new TreeViewWidget(kTree, window, 400, 112, 190, 200);
    for (const char* item : {"delta", "alpha", "charlie", "bravo"}) {
        tree->InsertItem(item, 0);
    }
    tree->SetVisible(true);

    auto* status = new LabelWidget(kStatus, window, "No event yet", false, 10, 330, 580, 20);
    window->SetVisible(true);

    DWORD start = GetTickCount();
    while (!closed && !(seconds > 0.0 && GetTickCount() - start >= seconds * 1000.0)) {
        SetWidgetEvent(0, 0);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (IsWidgetEvent(kClose, WidgetEventCode::ButtonClicked)) {
            break;
        }
        for (const auto& event : kWatched) {
            if (IsWidgetEvent(event.id, event.code)) {
                char line[128];
                StrFormat(line, sizeof line, "Last event: %s; scroll bar at %d", event.what,
                          scroll->GetPosition());
                status->SetText(line);
            }
        }
        Sleep(10);
    }
    if (!closed) {
        window->Destroy();
    }
    return 0;
}
