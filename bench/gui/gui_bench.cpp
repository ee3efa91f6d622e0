// GUI benchmark on the offscreen platform; prints numbers, checks nothing.
//  1. A key press in the expression box until the five result lines hold
//     their new texts (and, separately, until the changes are painted):
//     median over 1000 keystrokes.
//  2. Process start until the window is shown: the benchmark starts itself
//     as a child that runs the program's start-up (settings, language file,
//     window) and reports when the window is exposed; median of 15 starts.
//  3. Resident memory of that child once its window is shown.

#include <QApplication>
#include <QComboBox>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "engine/calculate.h"
#include "settings/settings.h"
#include "ui/main_dialog.h"
#include "ui/qt/qt_front_end.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kKeystrokes = 1000;
constexpr int kStarts = 15;
constexpr char kTypedExpression[] = "(1+2)*(3+4)*(5+6)/(7+8)";

double Micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Percentile(std::vector<double> values, double p) {
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

std::string PrepareSettingsFile() {
  const auto folder = std::filesystem::temp_directory_path() / ("quillo-gui-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "quillo.ini").string();
  std::ofstream(path, std::ios::binary) << "[INI]\r\nlang=" QUILLO_ENGLISH_LNG "\r\nform=0\r\nhistorylen=10\r\n";
  return path;
}

// Opens the window as the program does, after loading settingsPath.
struct OpenWindow {
  QtFrontEnd frontEnd;
  MainDialog logic{frontEnd, ProgramEngineState()};
  CalculatorDialog* window = nullptr;
  explicit OpenWindow(const char* settingsPath) {
    if (!LoadSettingsFrom(frontEnd, settingsPath)) std::exit(1);
    window = frontEnd.CreateDialog(logic);
    window->show();
  }
};

// Child: the start-up, timed from the parent. Prints the resident memory in
// kilobytes once the window is exposed.
int RunChild(const char* settingsPath) {
  OpenWindow open(settingsPath);
  if (!QTest::qWaitForWindowExposed(open.window)) return 1;
  std::printf("%ld\n", ResidentKilobytes());
  return 0;
}

void MeasureKeystrokes(const char* settingsPath) {
  OpenWindow open(settingsPath);
  if (!QTest::qWaitForWindowActive(open.window)) std::exit(1);
  QComboBox* box = open.window->Box();
  std::vector<double> textsSet, repainted;
  const std::size_t cycle = std::strlen(kTypedExpression);
  for (int i = 0; i < kKeystrokes; ++i) {
    if (i > 0 && i % static_cast<int>(cycle) == 0) QTest::keyClick(box, Qt::Key_Escape);  // start afresh
    const char key = kTypedExpression[static_cast<std::size_t>(i) % cycle];
    const auto start = Clock::now();
    QTest::keyClick(box, key);
    const auto set = Clock::now();
    // Paints what changed, as the event loop would next.
    QCoreApplication::sendPostedEvents(open.window, QEvent::UpdateRequest);
    const auto painted = Clock::now();
    textsSet.push_back(Micros(set - start));
    repainted.push_back(Micros(painted - start));
  }
  std::printf("keystroke to five lines set:  median %.1f us, 90%% %.1f us (target < 200 us)\n", Median(textsSet),
              Percentile(textsSet, 0.9));
  std::printf("keystroke to changes painted:  median %.1f us, 90%% %.1f us\n", Median(repainted),
              Percentile(repainted, 0.9));
}

void MeasureStartUp(const char* self, const char* settingsPath) {
  std::vector<double> millis;
  long residentKb = 0;
  for (int i = 0; i < kStarts; ++i) {
    int out[2];
    if (pipe(out) != 0) return;
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      execl(self, self, "--child", settingsPath, static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    char text[64] = {};
    const ssize_t got = read(out[0], text, sizeof text - 1);
    const auto shown = Clock::now();
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (got <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      std::printf("start-up child failed\n");
      return;
    }
    millis.push_back(Micros(shown - start) / 1000.0);
    residentKb = std::strtol(text, nullptr, 10);
  }
  std::printf("process start to window shown: median %.1f ms, max %.1f ms (target < 300 ms)\n", Median(millis),
              *std::max_element(millis.begin(), millis.end()));
  std::printf("resident memory after start:   %.1f MB (target < 40 MB)\n", static_cast<double>(residentKb) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  if (argc == 3 && std::strcmp(argv[1], "--child") == 0) return RunChild(argv[2]);
  const std::string settingsPath = PrepareSettingsFile();
  MeasureKeystrokes(settingsPath.c_str());
  MeasureStartUp(argv[0], settingsPath.c_str());
  std::filesystem::remove_all(std::filesystem::path(settingsPath).parent_path());
  return 0;
}
