#include "program_character.h"

#include <utility>

#include "ui_driver.h"

namespace memotab::test {

namespace {

HWND Shown(const char* windowClass, DWORD processId) {
  const HWND window = FindProcessWindow(windowClass, nullptr, processId);
  return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

}  // namespace

HWND ShownFigure(DWORD processId) { return Shown("MemotabCharacter", processId); }

HWND ShownSpeechBalloon(DWORD processId) { return Shown("MemotabSpeechBalloon", processId); }

std::string SaidText(HWND balloon) {
  std::string said = WindowText(balloon);
  WaitUntil([&] {
    Sleep(700);
    const std::string now = WindowText(balloon);
    return std::exchange(said, now) == now;
  }, std::chrono::seconds(15));
  return said;
}

void DismissSpeechBalloon(HWND balloon) {
  WaitUntil([&] {
    PostMessageA(balloon, WM_LBUTTONUP, 0, 0);
    Sleep(200);
    return !IsWindowVisible(balloon);
  }, std::chrono::seconds(20));
}

}  // namespace memotab::test
