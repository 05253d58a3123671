// A drop-down list whose items stay in the order added. A selection change made by the user
// records (id, ComboSelChanged); selections set by the program record nothing. The stored
// text follows the control's text at each selection.
#pragma once

#include "core/gui/BaseWidget.h"

class ComboBoxWidget : public BaseWidget {
public:
    ComboBoxWidget(int id, BaseWidget* parent, const char* text, float x, float y, float width,
                   float height);

    // Selects the first item that starts with s (letter case ignored); with none, nothing
    // changes, not even the stored text.
    void SetText(const char* s) override;
    void OnCommand(UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual void Clear();
    virtual void AddItem(const char* item);
    // Selects the item (-1 for none) and copies the control's text (up to 254 characters).
    virtual void SetSelection(int index);
    // The selected index, -1 when nothing is selected.
    virtual int GetSelection();
};
