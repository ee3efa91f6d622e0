#include "ui/win32/history_search_controls.h"

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "settings/optional_texts.h"
#include "ui/dialog_ids.h"
#include "ui/win32/edit_keys.h"
#include "ui/win32/text_conversion.h"
#include "ui/win32/win32_front_end.h"

namespace {

constexpr int kSearchVisibleRows = 8;

}  // namespace

// The search's field and list lie over the dialog under the box, on top of
// the controls there, until the search ends.
void Win32FrontEnd::CreateSearchControls() {
  RECT box{};
  GetWindowRect(Box(), &box);
  MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&box), 2);
  const int width = box.right - box.left;
  RECT edit{};
  GetWindowRect(BoxEdit(), &edit);
  const int fieldHeight = edit.bottom - edit.top + 6;
  const auto font = static_cast<WPARAM>(SendMessageW(Box(), WM_GETFONT, 0, 0));
  searchField_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"", WS_CHILD | WS_CLIPSIBLINGS | ES_AUTOHSCROLL, box.left,
                                 box.bottom + 2, width, fieldHeight, window_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdSearchField)), instance_, nullptr);
  SendMessageW(searchField_, WM_SETFONT, font, FALSE);
  searchList_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"ListBox", L"",
                                WS_CHILD | WS_CLIPSIBLINGS | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, box.left,
                                box.bottom + 2 + fieldHeight, width, fieldHeight * kSearchVisibleRows, window_,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIdSearchList)), instance_, nullptr);
  SendMessageW(searchList_, WM_SETFONT, font, FALSE);
  SubclassEdit(searchField_);
}

void Win32FrontEnd::ShowHistorySearch(const char* query, const std::vector<std::string>& matches, int selected) {
  if (window_ == nullptr) {
    return;
  }
  if (searchField_ == nullptr) {
    CreateSearchControls();
  }
  SendMessageW(searchField_, EM_SETCUEBANNER, TRUE,
               reinterpret_cast<LPARAM>(ToWide(OptionalText(OptionalTextIndex("searchhistory"))).c_str()));
  const std::wstring wanted = ToWide(query);
  if (WindowText(searchField_) != wanted) {
    settingSearch_ = true;
    SetWindowTextW(searchField_, wanted.c_str());
    settingSearch_ = false;
  }
  SendMessageW(searchList_, LB_RESETCONTENT, 0, 0);
  for (const std::string& match : matches) {
    SendMessageW(searchList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(match.c_str()).c_str()));
  }
  SendMessageW(searchList_, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  if (!IsWindowVisible(searchField_)) {
    for (HWND control : {searchList_, searchField_}) {
      SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    }
    SetFocus(searchField_);
  }
}

void Win32FrontEnd::HideHistorySearch() {
  for (HWND control : {searchField_, searchList_}) {
    if (control != nullptr) {
      ShowWindow(control, SW_HIDE);
    }
  }
  // What the search covered is drawn again.
  if (window_ != nullptr) {
    InvalidateRect(window_, nullptr, TRUE);
  }
}

// Keys of the search field: Enter takes the selected match, Escape goes
// back, the arrow keys move through the matches, Ctrl+R goes older. Losing
// the focus to anything but the list ends the search as Escape does.
bool Win32FrontEnd::OnSearchFieldMessage(UINT message, WPARAM wParam) {
  switch (message) {
    case WM_KEYDOWN: {
      const auto selected = static_cast<int>(SendMessageW(searchList_, LB_GETCURSEL, 0, 0));
      switch (wParam) {
        case VK_RETURN:
          dialog_->OnHistorySearchEnd(true);
          return true;
        case VK_ESCAPE:
          dialog_->OnHistorySearchEnd(false);
          return true;
        case VK_DOWN:
          dialog_->OnHistorySearchSelect(selected + 1);
          return true;
        case VK_UP:
          dialog_->OnHistorySearchSelect(selected - 1);
          return true;
        case 'R':
          if (KeyIsDown(VK_CONTROL)) {
            dialog_->OnHistorySearch();
            return true;
          }
          return false;
        default:
          return false;
      }
    }
    case WM_CHAR:
      // Enter, Escape and Ctrl+R were taken at their key press.
      return wParam == L'\r' || wParam == 0x1b || wParam == 0x12;
    case WM_KILLFOCUS:
      if (reinterpret_cast<HWND>(wParam) != searchList_ && IsWindowVisible(searchField_)) {
        dialog_->OnHistorySearchEnd(false);
      }
      return false;
    default:
      return false;
  }
}

// The search field's edits and the list's clicks; true when the command was
// one of the search's.
bool Win32FrontEnd::OnSearchCommand(int commandId, int notification) {
  if (dialog_ == nullptr || (commandId != kIdSearchField && commandId != kIdSearchList)) {
    return commandId == kIdSearchField || commandId == kIdSearchList;
  }
  if (commandId == kIdSearchField && notification == EN_CHANGE && !settingSearch_) {
    char query[kExpressionCapacity];
    CopyAsUtf8(WindowText(searchField_), query, sizeof query);
    dialog_->OnHistorySearchQuery(query);
  } else if (commandId == kIdSearchList && notification == LBN_SELCHANGE) {
    dialog_->OnHistorySearchSelect(static_cast<int>(SendMessageW(searchList_, LB_GETCURSEL, 0, 0)));
    SetFocus(searchField_);
  } else if (commandId == kIdSearchList && notification == LBN_DBLCLK) {
    dialog_->OnHistorySearchEnd(true);
  }
  return true;
}
