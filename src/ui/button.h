#pragma once
#include "ui/control.h"

namespace kivo::ui {

// A push button.
class Button : public Control {
public:
    using Control::Control;

    // Presses it the way a click would: the parent gets BN_CLICKED.
    void click() const { send(BM_CLICK); }
};

// A check box or radio button (BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE).
class CheckBox : public Button {
public:
    using Button::Button;

    bool is_checked() const { return state() == BST_CHECKED; }
    void set_checked(bool on) const { set_state(on ? BST_CHECKED : BST_UNCHECKED); }
    int state() const { return static_cast<int>(send(BM_GETCHECK)); }
    void set_state(int state) const { send(BM_SETCHECK, static_cast<WPARAM>(state)); }
};

}  // namespace kivo::ui
