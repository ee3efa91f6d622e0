#pragma once
// The main menu as data: two pop-ups of items with the command ids of
// dialog_ids.h. BuildMenu fills it from the language texts; front ends turn
// it into a real menu.

inline constexpr int kMenuPopupCount = 2;
inline constexpr int kMenuMaxItems = 4;

struct MenuItemModel {
  int commandId;       // sent to the dialog when chosen; unused for a separator
  const char* text;    // language bytes; nullptr for a separator
  bool enabled;        // disabled items are grayed and cannot be chosen
};

struct MenuPopupModel {
  const char* title;   // language bytes
  int itemCount;       // items[0..itemCount-1] are shown
  MenuItemModel items[kMenuMaxItems];
};

struct MenuModel {
  MenuPopupModel popups[kMenuPopupCount];
};
