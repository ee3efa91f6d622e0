// Fuzz target: loading a language file made of arbitrary bytes. Properties:
//  - every one of the 48 text slots is terminated within its 40 bytes;
//  - a slot holds "no translation" or the start of the key's value, cut to
//    at most 39 bytes, and never by more than a partial UTF-8 character;
//  - a valid UTF-8 file gives valid UTF-8 slots;
//  - every optional text is terminated within its room, and a valid UTF-8
//    file gives valid UTF-8 optional texts;
//  - the dialog texts and the menu built from the slots, and their display
//    forms, are terminated within their buffers.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "settings/language.h"
#include "settings/optional_texts.h"
#include "settings/profile.h"
#include "settings/settings_state.h"
#include "settings/text_encoding.h"
#include "ui/dialog_texts.h"

namespace {

// Collects nothing: it checks that every text handed to the window is a
// terminated slot text.
class CheckingWindow : public DialogWindow {
 public:
  bool AskForLanguageFile(const LanguageFileQuestion&, char*, unsigned) override { return false; }
  void ShowErrorBox(const char* caption, const char* text) override {
    FUZZ_CHECK(caption != nullptr && text != nullptr);
  }
  void InsertHistoryItemAtTop(const char*) override {}
  void AppendHistoryItem(const char*) override {}
  int HistoryItemCount() override { return 0; }
  void HistoryItemText(int, char* buffer, unsigned capacity) override {
    if (capacity > 0) buffer[0] = '\0';
  }
  void DeleteLastHistoryItem() override {}
  void SetControlText(int, const char* text) override { CheckDisplayable(text); }
  void AttachMenu(const MenuModel&) override {}
  void BoxText(char* buffer, unsigned capacity) override {
    if (capacity > 0) buffer[0] = '\0';
  }
  void SetBoxText(const char*) override {}
  void SelectBoxText(int, int) override {}
  void BoxTextSelection(int* start, int* end) override { *start = *end = 0; }
  int BoxSelection() override { return -1; }
  void OpenBoxList() override {}
  void CloseBoxList() override {}
  void SelectBoxItem(int) override {}
  void FocusBox() override {}
  void CheckRadioButton(int, int, int) override {}
  void RegisterHotkey(int) override {}
  void UnregisterHotkey(int) override {}
  void SetClipboardText(const char* text) override { CheckDisplayable(text); }
  void Beep() override {}
  void ShowHistorySearch(const char*, const std::vector<std::string>&, int) override {}
  void HideHistorySearch() override {}
  void ShowNotice(const char* text) override { CheckDisplayable(text); }
  void MarkResultLine(int, const char* note) override { CheckDisplayable(note); }
  void MarkBoxError(int, int, const char* note) override { CheckDisplayable(note); }
  void ApplyProgramIcon() override {}
  void ShowAboutBox(const char*, const char*) override {}
  void SetAlwaysOnTop(bool) override {}
  void EndDialog(int) override {}

  static void CheckDisplayable(const char* text) {
    FUZZ_CHECK(IsTerminatedWithin(text, kTextSlotCapacity));
    // Windows-1251 text takes up to three bytes per character in UTF-8.
    char display[3 * kTextSlotCapacity];
    std::memset(display, 'x', sizeof display);
    ConvertToDisplayText(text, display, sizeof display);
    FUZZ_CHECK(IsTerminatedWithin(display, sizeof display));
    FUZZ_CHECK(IsValidUtf8(display));
  }
};

// The file the target writes its input into: one per process, in memory
// when /dev/shm exists. It is removed after each input, since libFuzzer ends
// without running exit handlers.
const char* InputFilePath() {
  static std::string path;
  if (path.empty()) {
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    path = std::string(folder) + "/quillo-fuzz-" + std::to_string(getpid()) + ".lng";
  }
  return path.c_str();
}

bool WriteInputFile(const char* path, const std::uint8_t* data, std::size_t size) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  bool written = std::fwrite(data, 1, size, file) == size;
  return std::fclose(file) == 0 && written;
}

void CheckSlots(std::string_view fileText, const char* section, const char (*slots)[kTextSlotCapacity],
                int count, bool validUtf8) {
  for (int i = 0; i < count; ++i) {
    const char* slot = slots[i];
    FUZZ_CHECK(IsTerminatedWithin(slot, kTextSlotCapacity));
    const std::string_view text(slot);
    std::string_view value;
    const std::string key = std::to_string(i);
    if (!FindProfileValue(fileText, section, key.c_str(), &value)) {
      FUZZ_CHECK(text == kNoTranslation);
      continue;
    }
    // The first 39 characters of the value: UTF-8 letters or single bytes.
    FUZZ_CHECK(text == value.substr(0, TextPrefixLength(value, kTextCharacterLimit)));
    if (validUtf8) FUZZ_CHECK(IsValidUtf8(text));
  }
}

void CheckOptionalTexts(bool validUtf8) {
  for (int i = 0; i < kOptionalTextCount; ++i) {
    const char* text = OptionalText(i);
    FUZZ_CHECK(IsTerminatedWithin(text, OptionalTextCapacityOf(kOptionalTexts[i].kind)));
    if (validUtf8) FUZZ_CHECK(IsValidUtf8(text));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* path = InputFilePath();
  FUZZ_CHECK(WriteInputFile(path, data, size));
  SettingsState& settings = ProgramSettings();
  std::snprintf(settings.LanguagePath, kPathCapacity, "%s", path);
  LoadLanguageTexts();
  std::remove(path);

  const std::string_view fileText(reinterpret_cast<const char*>(data), size);
  const bool validUtf8 = IsValidUtf8(fileText);
  CheckOptionalTexts(validUtf8);
  // A file without any text of a language file is not loaded at all.
  if (!HoldsKnownLanguageKey(fileText)) {
    FUZZ_CHECK(std::string_view(settings.MenuTexts[0]) == kNoTranslation);
    return 0;
  }
  CheckSlots(fileText, "MENU", settings.MenuTexts, kMenuTextCount, validUtf8);
  CheckSlots(fileText, "DIALOG", settings.DialogTexts, kDialogTextCount, validUtf8);
  CheckSlots(fileText, "OPERATIONS", settings.MessageTable, kMessageCount, validUtf8);

  CheckingWindow window;
  ApplyDialogTexts(settings, window);
  MenuModel menu{};
  BuildMenu(settings, menu);
  for (const MenuPopupModel& popup : menu.popups) {
    CheckingWindow::CheckDisplayable(popup.title);
    for (int i = 0; i < popup.itemCount; ++i) {
      if (popup.items[i].text != nullptr) CheckingWindow::CheckDisplayable(popup.items[i].text);
    }
  }
  return 0;
}
