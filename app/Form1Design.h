#pragma once

#include <span>

// The window's design as data: one entry per control, in the order they are created.
// Places and sizes are in twips relative to the container; tab index -1 means none.
enum class ControlKind {
    CommandButton,
    Image,
    Frame,
    BorderlessFrame,
    ListView,
    StatusBar,
    Label,
    TextBox,
    CheckBox,
    OptionButton,
    DropDownList,
};

enum class Container { Form, Frame1, Frame2, Frame3 };

struct ControlDesign {
    const char16_t* name;
    ControlKind kind;
    Container container;
    int left;
    int top;
    int width;
    int height;
    int tabIndex;
    const char16_t* caption; // caption or initial text
    bool initiallyOn;        // a check box checked, an option button selected
};

std::span<const ControlDesign> Form1Design();
