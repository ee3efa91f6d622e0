#pragma once
// The main menu as data: two pop-ups of items with the command ids of
// dialog_ids.h. BuildMenu fills it from the language texts; front ends turn
// it into a real menu.

inline constexpr int kMenuPopupCount = 3;
inline constexpr int kMenuMaxItems = 7;
// Room for a menu text with the accelerator mark the model may add: the
// longest optional text (159 bytes), the "&" and the terminator.
inline constexpr int kMenuMarkedTextCapacity = 161;

// The key that chooses a menu item while the window has the focus, as
// key_bindings.h binds it.
struct MenuShortcut {
  const char* text;  // as shown beside the item: "Ctrl+1", "Ctrl+Shift+U"; nullptr for none
};

struct MenuItemModel {
  int commandId;       // sent to the dialog when chosen; unused for a separator
  const char* text;    // language bytes; nullptr for a separator
  bool enabled;        // disabled items are grayed and cannot be chosen
  bool checked = false;          // shown with a check mark
  MenuShortcut shortcut = {};    // none unless given
};

struct MenuPopupModel {
  const char* title;   // language bytes
  int itemCount;       // items[0..itemCount-1] are shown
  MenuItemModel items[kMenuMaxItems];
};

struct MenuModel {
  MenuPopupModel popups[kMenuPopupCount];
  // The texts that were given an accelerator mark, which the titles and
  // items then point to: [popup][0] the title, [popup][1 + i] item i.
  char markedTexts[kMenuPopupCount][kMenuMaxItems + 1][kMenuMarkedTextCapacity];
};
