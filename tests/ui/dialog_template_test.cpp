// The Windows resource script against the control table both front ends
// read: every CONTROL of quillo.rc has the table's id, text, kind and
// rectangle, so the two can never drift apart.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "ui/dialog_template.h"

namespace {

std::string ReadFile(const char* path) {
  std::ifstream file(path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  const auto last = text.find_last_not_of(" \t\r");
  return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// Splits at commas outside quotes.
std::vector<std::string> SplitFields(const std::string& text) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (c == ',' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  for (std::string& field : fields) field = Trim(field);
  return fields;
}

// The numeric #defines of resource.h, by name.
std::map<std::string, int> ReadDefines(const char* path) {
  std::map<std::string, int> defines;
  std::istringstream lines(ReadFile(path));
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string directive, name;
    int value = 0;
    if (words >> directive >> name >> value && directive == "#define") defines[name] = value;
  }
  return defines;
}

struct RcControl {
  std::string text, className, style;
  int id = 0, x = 0, y = 0, width = 0, height = 0;
};

// The CONTROL statements of the dialog, each on one line, with ids
// resolved through resource.h.
std::vector<RcControl> ReadControls(const std::string& script, const std::map<std::string, int>& defines) {
  std::vector<RcControl> controls;
  std::istringstream lines(script);
  std::string line;
  while (std::getline(lines, line)) {
    line = Trim(line);
    if (line.rfind("CONTROL ", 0) != 0) continue;
    const std::vector<std::string> fields = SplitFields(line.substr(8));
    if (fields.size() < 8) {
      ADD_FAILURE() << "unreadable: " << line;
      continue;
    }
    RcControl control;
    control.text = fields[0].substr(1, fields[0].size() - 2);
    control.id = defines.contains(fields[1]) ? defines.at(fields[1]) : std::stoi(fields[1]);
    control.className = fields[2].substr(1, fields[2].size() - 2);
    control.style = " " + fields[3] + " ";
    control.x = std::stoi(fields[4]);
    control.y = std::stoi(fields[5]);
    control.width = std::stoi(fields[6]);
    control.height = std::stoi(fields[7]);
    controls.push_back(control);
  }
  return controls;
}

bool HasStyle(const RcControl& control, const char* style) {
  return control.style.find(std::string(" ") + style + " ") != std::string::npos;
}

// The window class and the style bits that make a control of this kind.
bool MatchesKind(const RcControl& control, ControlKind kind) {
  const bool button = control.className == "Button";
  const bool groupBox = button && HasStyle(control, "BS_GROUPBOX");
  switch (kind) {
    case ControlKind::RadioButton:
      return button && HasStyle(control, "BS_AUTORADIOBUTTON");
    case ControlKind::ResultLine:
      return control.className == "Edit" && HasStyle(control, "ES_RIGHT") && HasStyle(control, "ES_READONLY");
    case ControlKind::Label:
      return control.className == "Static" && HasStyle(control, "SS_LEFT");
    case ControlKind::GroupLeft:
      return groupBox && HasStyle(control, "BS_LEFT");
    case ControlKind::GroupRight:
      return groupBox && HasStyle(control, "BS_RIGHT");
    case ControlKind::Frame:
      return groupBox && !HasStyle(control, "BS_LEFT") && !HasStyle(control, "BS_RIGHT");
    case ControlKind::DefaultButton:
      return button && HasStyle(control, "BS_DEFPUSHBUTTON");
    case ControlKind::Button:
      return button && HasStyle(control, "BS_PUSHBUTTON");
    case ControlKind::ExpressionBox:
      return control.className == "ComboBox" && HasStyle(control, "CBS_DROPDOWN");
  }
  return false;
}

// The labels only screen readers meet: zero-size static texts of the
// Windows program's own, which the table leaves out.
bool IsHiddenNameLabel(const RcControl& control) {
  return control.className == "Static" && control.width == 0 && control.height == 0;
}

class ResourceScriptTest : public ::testing::Test {
 protected:
  const std::map<std::string, int> defines = ReadDefines(QUILLO_RESOURCE_HEADER);
  const std::string script = ReadFile(QUILLO_RESOURCE_SCRIPT);
  const std::vector<RcControl> controls = ReadControls(script, defines);
};

TEST_F(ResourceScriptTest, EveryControlMatchesTheTableInOrder) {
  std::vector<RcControl> visible;
  for (const RcControl& control : controls) {
    if (!IsHiddenNameLabel(control)) visible.push_back(control);
  }
  ASSERT_EQ(visible.size(), kDialogControls.size());
  for (std::size_t i = 0; i < visible.size(); ++i) {
    const RcControl& rc = visible[i];
    const ControlTemplate& table = kDialogControls[i];
    SCOPED_TRACE(testing::Message() << "control " << i << " (" << table.id << ")");
    EXPECT_EQ(rc.id, table.id);
    EXPECT_EQ(rc.text, table.text);
    EXPECT_TRUE(MatchesKind(rc, table.kind)) << rc.className << rc.style;
    EXPECT_EQ((std::array{rc.x, rc.y, rc.width, rc.height}),
              (std::array{table.x, table.y, table.width, table.height}));
  }
}

// A hidden label sits where the control it names starts, so the table's
// rectangles are theirs too.
TEST_F(ResourceScriptTest, HiddenNameLabelsSitOnTheControlTheyName) {
  int hidden = 0;
  for (std::size_t i = 0; i + 1 < controls.size(); ++i) {
    if (!IsHiddenNameLabel(controls[i])) continue;
    ++hidden;
    const RcControl& named = controls[i + 1];
    EXPECT_EQ((std::array{controls[i].x, controls[i].y}), (std::array{named.x, named.y})) << controls[i].id;
    EXPECT_NE(FindControl(named.id), nullptr);
  }
  EXPECT_EQ(hidden, kResultFormCount + 1);
}

TEST_F(ResourceScriptTest, TheDialogHasTheTablesSizeAndAResizableFrame) {
  EXPECT_EQ(defines.at("MAIN_DIALOG_WIDTH"), kDialogWidthUnits);
  EXPECT_EQ(defines.at("MAIN_DIALOG_HEIGHT"), kDialogHeightUnits);
  const auto style = script.find("\nSTYLE ");
  ASSERT_NE(style, std::string::npos);
  const std::string styleLine = script.substr(style, script.find('\n', style + 1) - style);
  EXPECT_NE(styleLine.find("WS_THICKFRAME"), std::string::npos) << styleLine;
  for (const ControlTemplate& control : kDialogControls) {
    EXPECT_LE(control.x + control.width, kDialogWidthUnits) << control.id;
    EXPECT_LE(control.y + control.height, kDialogHeightUnits) << control.id;
  }
}

}  // namespace
