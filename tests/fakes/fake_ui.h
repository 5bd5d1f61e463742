// Window services for tests: dialogs answer from a script, the message pump runs injected
// events, and everything shown is recorded.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace tomo::testing {

class FakeUi : public Ui {
 public:
  void ShowMessage(std::string_view text, std::string_view title) override {
    messages.push_back({std::string(text), std::string(title)});
    if (onMessage) onMessage();
  }
  void ShowUtf8Message(std::string_view text, std::string_view title) override {
    ShowMessage(text, title);
  }
  std::optional<SaveChoice> ChooseSaveFile(const std::vector<FileType>& types,
                                           std::string_view name,
                                           std::string_view folder) override {
    saveDialogs.push_back({types, std::string(name), std::string(folder)});
    return Next(saveAnswers);
  }
  std::string DocumentsFolder() override { return documents; }
  int AnsiCodePage() override { return 1252; }
  std::optional<std::string> BrowseForFolder(std::string_view title) override {
    browseTitles.emplace_back(title);
    return Next(folderAnswers);
  }
  std::optional<Color> ChooseColor(Color initial, std::array<Color, 16>& custom) override {
    colorDialogInitial.push_back(initial);
    colorDialogCustom.push_back(custom);
    if (customColorsToStore) custom = *customColorsToStore;
    return Next(colorAnswers);
  }
  void SetClipboardText(std::string_view text) override { clipboard = std::string(text); }
  void PrepareMenu(const std::vector<MenuItem>& items, const std::string& swatchFile) override;
  std::int32_t TrackMenu(int x, int y) override {
    menuPositions.push_back({x, y});
    return Next(menuAnswers).value_or(0);
  }
  void SetCaption(std::string_view text) override { caption = std::string(text); }
  ScreenSize GetScreenSize() override { return screen; }
  void Sleep(int milliseconds) override {
    slept.push_back(milliseconds);
    if (onSleep) onSleep();
  }
  void PumpMessages() override;
  std::int64_t NowMicroseconds() override;
  int TakePendingCharacter() override {
    const int k = pendingCharacter;
    pendingCharacter = 0;
    return k;
  }

  struct Message {
    std::string text, title;
  };
  struct Point {
    int x, y;
  };
  struct SaveDialog {
    std::vector<FileType> types;
    std::string name, folder;
  };

  ScreenSize screen{1024, 768};
  std::vector<Message> messages;
  std::vector<std::string> browseTitles;
  std::deque<std::optional<std::string>> folderAnswers;
  std::deque<std::optional<Color>> colorAnswers;
  std::vector<SaveDialog> saveDialogs;
  std::deque<std::optional<SaveChoice>> saveAnswers;
  std::string documents;
  std::optional<std::array<Color, 16>> customColorsToStore;
  std::vector<Color> colorDialogInitial;
  std::vector<std::array<Color, 16>> colorDialogCustom;
  std::optional<std::string> clipboard;
  std::vector<std::vector<MenuItem>> menus;            // every prepared menu
  std::vector<std::vector<std::uint8_t>> swatchFiles;  // the swatch file's bytes at each
  std::deque<std::optional<std::int32_t>> menuAnswers;
  std::vector<Point> menuPositions;
  std::string caption = "TOMO BD";
  std::vector<int> slept;
  std::function<void()> onSleep;    // runs at every pause
  std::function<void()> onMessage;  // runs while each message box is up
  int pendingCharacter = 0;

  // Runs at every pump with the number of that pump (from 1); tests inject events here.
  std::function<void(int pump)> onPump;
  std::vector<std::int64_t> pumpTimes;  // NowMicroseconds at each pump
  // When set, the clock advances by this much at every reading instead of running in real
  // time.
  std::optional<std::int64_t> clockStep;

 private:
  template <typename T>
  static std::optional<T> Next(std::deque<std::optional<T>>& answers) {
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::int64_t fakeClock_ = 0;
  bool pumping_ = false;
};

}  // namespace tomo::testing
