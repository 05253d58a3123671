#include "core/gui/WidgetEvent.h"

namespace {
// Written and read on the main thread only.
WidgetEvent lastEvent = {0, 0};
} // namespace

void SetWidgetEvent(int widgetId, int code) {
    lastEvent.widgetId = widgetId;
    lastEvent.code = code;
}

bool HasWidgetEvent() {
    return lastEvent.widgetId != 0;
}

bool IsWidgetEvent(int widgetId, int code) {
    return lastEvent.widgetId == widgetId && lastEvent.code == code;
}
