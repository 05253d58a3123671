// The process-wide record of the last widget event. The application clears it once per frame,
// pumps the native messages (each event overwrites the record) and then asks about it.
#pragma once

// Codes of the events that widgets record.
namespace WidgetEventCode {
enum : int {
    None = 0,            // cleared by the application
    Click = 1,           // left button released over a widget with no child there, or a label
    ButtonClicked = 2,   // a button reported BN_CLICKED
    TextTyped = 3,       // a character reached a text box
    ComboSelChanged = 4, // the user changed a combo box's selection
    TreeSelChanged = 5,  // a tree view's selection changed
};
}

struct WidgetEvent {
    int widgetId;
    int code;
};

// Overwrites both fields; (0, 0) clears the record.
void SetWidgetEvent(int widgetId, int code);
// True when the record names a widget (identifier not 0), whatever its code.
bool HasWidgetEvent();
// True when both fields equal the arguments.
bool IsWidgetEvent(int widgetId, int code);
