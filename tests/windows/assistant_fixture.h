// What the assistant's tests share: the assistant object on Memotab's own character
// service, as the program drives it (no system service, the built-in objects registered as
// at start-up).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "builtin_objects.h"
#include "character_service.h"
#include "t_ms_agent.h"
#include "ui_driver.h"
#include "win.h"

namespace memotab::test {

inline std::filesystem::path Artifacts() {
  const std::filesystem::path folder = std::filesystem::current_path() / "artifacts";
  std::filesystem::create_directories(folder);
  return folder;
}

inline HWND OwnWindow(const char* windowClass) { return FindProcessWindow(windowClass, nullptr); }

// Our character loaded as the program loads it, its balloons staying until clicked.
class AssistantTest : public ::testing::Test {
 protected:
  void SetUp() override {
    character::RegisterCharacterService();
    agent = TMsAgent::New({.cName = "Nota", .lMenu = false, .cFile = "", .lSound = true});
    agent->SetBalloon({}, 0, true);  // as the program does: balloons stay until clicked
    agent->lWait = true;
  }
  void TearDown() override {
    if (agent->IsVisible()) {
      agent->Stop();
      agent->Hide();
    }
    agent->End();
    UnregisterBuiltInObject(kAgentProgId);
    UnregisterBuiltInObject(kBalloonProgId);
  }
  double Status() { return AsNumber(agent->oResp->Send("STATUS"), -1); }

  std::shared_ptr<TMsAgent> agent;
};

}  // namespace memotab::test
