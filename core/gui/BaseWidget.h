// Root of the window toolkit: a widget owns one native window and keeps its own copy of the
// geometry, visibility, identifier and text, its parent and its ordered children. Widgets live
// on the heap and are torn down with Destroy; the destructor alone leaves the native window
// alive and the parent's list unchanged. Main thread only; the handle, set once during
// construction, may be read from other threads afterwards.
#pragma once

#include <windows.h>

#include <vector>

// Truncates toward zero; values beyond the int range saturate and NaN gives 0.
int TruncateToInt(float value);

class BaseWidget {
public:
    static constexpr int kTextSize = 256;

    // Creates no native window and does not join parent: each derived class creates its
    // window and then adds itself with AddChild.
    BaseWidget(int id, BaseWidget* parent, const char* text);
    BaseWidget(const BaseWidget&) = delete;
    BaseWidget& operator=(const BaseWidget&) = delete;

    // The virtual operations keep this order: derived classes append theirs after ExtraHook.
    virtual ~BaseWidget();
    virtual HWND GetHandle();
    virtual int GetId();
    // Stores the flag and shows (SW_SHOWNORMAL) or hides the native window.
    virtual void SetVisible(bool show);
    // The stored flag, never read back from the native window.
    virtual bool IsVisible();
    // Stores the position and moves the native window, keeping its native size.
    virtual void SetPosition(float x, float y);
    virtual float GetX();
    virtual float GetY();
    // Stores the size only; the native window is not resized.
    virtual void SetSize(float width, float height);
    virtual float GetWidth();
    virtual float GetHeight();
    // Copies s into the text buffer (cut at 255 characters); the native text is unchanged.
    virtual void SetText(const char* s);
    virtual const char* GetText();
    // Destroys the native window, leaves the parent, destroys the children first to last and
    // deletes this object.
    virtual void Destroy();
    virtual void OnMouseMove(int x, int y);
    // Passes the point to the top-most child that contains it.
    virtual void OnLeftDown(int x, int y);
    // Passes the point to the top-most child that contains it; with none, records (id, Click).
    virtual void OnLeftUp(int x, int y);
    virtual void OnLeftDoubleClick(int x, int y);
    virtual void OnRightDown(int x, int y);
    virtual void OnRightUp(int x, int y);
    virtual void OnMiddleDown(int x, int y);
    virtual void OnMiddleUp(int x, int y);
    // Routed WM_COMMAND, WM_NOTIFY, WM_HSCROLL and WM_VSCROLL.
    virtual void OnCommand(UINT message, WPARAM wParam, LPARAM lParam);
    // Routed WM_PAINT and WM_DRAWITEM.
    virtual void Draw();
    // Marks the widget's rectangle in its parent's window (its own without a parent) for
    // repainting, without erasing.
    virtual void Invalidate();
    // Keeps the interface's slot order; does nothing.
    virtual void ExtraHook();

    // Appends without a duplicate check; null is ignored.
    void AddChild(BaseWidget* child);
    // Removes the first entry equal to child, if any.
    void RemoveChild(BaseWidget* child);

protected:
    // Stores the geometry and creates the native window of a child control inside the
    // parent's window, sets its control identifier to id and joins the parent.
    void CreateControl(const char* className, const char* windowName, DWORD style, float left,
                       float top, float w, float h);
    // A WM_NOTIFY of this widget's own control (by identifier) with the given code.
    bool IsOwnNotification(UINT message, WPARAM wParam, LPARAM lParam, int code) const;

    HWND handle = nullptr;
    float x = 0.0f;
    float y = 0.0f;
    float width = 1.0f;
    float height = 1.0f;
    bool visible = true;
    int id;
    char text[kTextSize];
    BaseWidget* parent;
    std::vector<BaseWidget*> children;

private:
    // The child that contains the point, last added first, with the point in its space.
    BaseWidget* HitChild(int x, int y, int* childX, int* childY);
};
