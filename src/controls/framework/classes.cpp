// The class table. A control's file defines its ControlClass row (name, kind,
// ClassProc<row>, the object factory) and the row is added to kClassTable at
// its place in registration order; unregistration follows kUnregisterOrder.
// Controls with a skinned border and skinned scroll bars (list box, tree
// view, bitmap view) derive from WKFrame, the frame window base
// (framework/frame_window.*), not from anything under src/frame.
//
//   registration order:   WKBmpView, WKButton, WKSlider, WKTab, WKSpin,
//                         WKAngle3D, WKScrollBar, WKComboBox, WKRange (own
//                         classes), WKEdit, WKListBox, WKStatic, WKTreeView
//                         (superclasses), WKDialog (its own registration)
#include "controls/framework/classes.h"

#include <cstring>

#include "controls/framework/control.h"
#include "controls/framework/skin.h"
#include "frame/trace.h"

namespace kelmard {

extern ControlClass kDialogClass;  // dialog.cpp

// Rows defined by the controls' own files.
extern ControlClass kBmpViewClass;
extern ControlClass kButtonClass;
extern ControlClass kSliderClass;
extern ControlClass kSpinClass;
extern ControlClass kEditClass;
extern ControlClass kStaticClass;
extern ControlClass kRangeClass;
extern ControlClass kTabClass;
extern ControlClass kListBoxClass;
extern ControlClass kScrollBarClass;  // lists/scroll_bar.cpp
extern ControlClass kTreeViewClass;   // lists/tree_view.cpp
extern ControlClass kComboBoxClass;
extern ControlClass kAngle3DClass;

namespace {

// Rows of the classes whose controls exist, in registration order; each new
// control adds its row at its place.
ControlClass* const kClassTable[] = {
    &kBmpViewClass,
    &kButtonClass,
    &kSliderClass,
    &kTabClass,
    &kSpinClass,
    &kAngle3DClass,
    &kScrollBarClass,
    &kComboBoxClass,
    &kRangeClass,
    &kEditClass,
    &kListBoxClass,
    &kStaticClass,
    &kTreeViewClass,
    &kDialogClass,  // dialog.cpp, registered last
    nullptr,        // end of the table
};

// The order in which the classes are unregistered.
const char* const kUnregisterOrder[] = {
    "WKBmpView", "WKButton", "WKSlider",  "WKTab",     "WKSpin",     "WKAngle3D", "WKEdit",
    "WKScrollBar", "WKComboBox", "WKRange", "WKListBox", "WKStatic", "WKTreeView", "WKDialog",
};

ATOM RegisterRow(HINSTANCE module, ControlClass& row) {
    switch (row.kind) {
    case ClassKind::Own: return RegisterOwnClass(module, row.name, row.procedure, kOwnClassStyle);
    case ClassKind::Superclass:
        return RegisterSuperclass(module, row.name, row.procedure, row.systemClass, &row.systemProcedure);
    case ClassKind::Custom: return row.registerCustom ? row.registerCustom(module, row) : 0;
    }
    return 0;
}

bool InTable(const char* name) {
    for (ControlClass* const* row = kClassTable; *row; ++row)
        if (std::strcmp((*row)->name, name) == 0) return true;
    return false;
}

}  // namespace

void RegisterControlClasses(HINSTANCE module) {
    LoadSkin(module);
    for (ControlClass* const* row = kClassTable; *row; ++row) {
        const ATOM atom = RegisterRow(module, **row);
        KTRACE("Register class %s: %u\n", (*row)->name, static_cast<unsigned>(atom));
    }
}

void UnregisterControlClasses(HINSTANCE module) {
    for (const char* name : kUnregisterOrder)
        if (InTable(name)) UnregisterClassA(name, module);
    FreeSkin(module);
}

}  // namespace kelmard
