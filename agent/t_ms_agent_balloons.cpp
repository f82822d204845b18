// The modal balloons of TMsAgent: notices, questions and prompts beside the character.
#include <string>

#include "disk.h"
#include "event_loop.h"
#include "free_routines.h"
#include "message_boxes.h"
#include "scoped_flag.h"
#include "sounds.h"
#include "t_ms_agent.h"

namespace memotab {

namespace {

// A wave file that exists plays at once; otherwise the built-in tones must do.
bool StartWaveFile(const std::optional<std::string>& file) {
  if (!file || file->empty() || !FILE_EXISTS(*file)) return false;
  SNDPLAYSOUND(*file, 1);
  return true;
}

std::optional<int> AsCode(const OleValue& value) {
  if (std::holds_alternative<int64_t>(value) || std::holds_alternative<double>(value)) {
    return static_cast<int>(AsNumber(value));
  }
  return std::nullopt;
}

}  // namespace

void TMsAgent::SetBalloon(const std::string& fontName, double fontSize, std::optional<bool> needClick) {
  if (!lOK || !oBalloon) return;
  if (!fontName.empty()) {
    cFontName = fontName;
    oBalloon->Assign("FontName", fontName);
  }
  if (fontSize > 0) {
    nFontSize = fontSize;
    oBalloon->Assign("FontSize", OleNumber(fontSize));
  }
  oBalloon->Assign("Style", int64_t{needClick.value_or(lNeedClick.value_or(false)) ? 11 : 15});
}

void TMsAgent::SetDefaultBalloon() {
  if (!lOK || !oBalloon) return;
  oBalloon->Assign("FontName", cFontNameDEF.value_or(""));
  oBalloon->Assign("FontSize", OleNumber(nFontSizeDEF.value_or(0)));
}

void TMsAgent::BtnsCaption(const std::string& cCaptions) { oBalloonDlg->SetProp("ButtonsCaptions", cCaptions); }

template <typename Result>
std::optional<Result> TMsAgent::Balloon(const std::function<Result()>& fallback, const std::function<void()>& opening,
                                        const std::function<Result()>& balloon) {
  CURSORWAIT();
  if (!lOK) return std::nullopt;
  if (!IsVisible()) return fallback();
  const ScopedFlag notWaiting(lWait, false);  // the animations below are queued, not waited for
  Stop();
  opening();
  MSGWAIT("Espere...", "", 0.01);
  SYSREFRESH();
  CURSORARROW();
  oBalloonDlg->Do("SetCharacterPosition", {OleNumber(GetX()), OleNumber(GetY()), OleNumber(GetWidth())});
  const Result result = balloon();
  Stop();
  Animate("RestPose");
  return result;
}

void TMsAgent::WGral(const std::string& cText, std::optional<std::string> cTitle, int nStyle, bool lGoodNews,
                     bool lBuiltInSound) {
  const std::string title = cTitle ? *cTitle : GetName();
  Balloon<bool>(
      [&] {
        MSGINFO(cText, title);
        return true;
      },
      [&] {
        if (lGoodNews) {
          if (lBuiltInSound) GOODSOUND();
          GetAttention();
        } else {
          Animate("Decline");
          if (lBuiltInSound) BADSOUND();
        }
      },
      [&] {
        oBalloonDlg->Do("MsgBalloon", {cText, int64_t{nStyle}, title});
        return true;
      });
}

void TMsAgent::WInfo(const std::string& cText, std::optional<std::string> cTitle) {
  const bool builtInSound = !StartWaveFile(cSoundInfo);
  WGral(cText, std::move(cTitle), 64, true, builtInSound);
}

void TMsAgent::WStop(const std::string& cText, std::optional<std::string> cTitle) {
  const bool builtInSound = !StartWaveFile(cSoundStop);
  WGral(cText, std::move(cTitle), 16, false, builtInSound);
}

void TMsAgent::WTip(const std::string& cText) {
  Balloon<bool>(
      [&] {
        MSGINFO(cText, GetName());
        return true;
      },
      [&] { Animate("Suggest"); },
      [&] {
        oBalloonDlg->Do("MsgBalloon", {cText, int64_t{0}});
        return true;
      });
}

std::optional<std::string> TMsAgent::WGet(const std::string& cText, std::optional<std::string> cTitle) {
  const std::string title = cTitle ? *cTitle : GetName();
  std::optional<std::optional<std::string>> answer = Balloon<std::optional<std::string>>(
      [&]() -> std::optional<std::string> {
        std::string buffer(100, ' ');
        if (!MSGGET(title, cText, buffer)) return std::string();
        buffer.resize(std::max<size_t>(buffer.size(), 100), ' ');
        return buffer;
      },
      [&] { GetAttention(); },
      [&]() -> std::optional<std::string> {
        const OleValue typed = oBalloonDlg->Do("InputBalloon", {cText, title});
        if (IsNil(typed)) return std::nullopt;
        return AsText(typed);
      });
  return answer ? *answer : std::nullopt;
}

std::optional<bool> TMsAgent::WYesNo(const std::string& cText, std::optional<std::string> cTitle) {
  const std::string title = cTitle ? *cTitle : GetName();
  return Balloon<bool>([&] { return MSGNOYES(cText, title); },
                       [&] {
                         Animate("Confused");
                         if (!StartWaveFile(cSoundQuestion)) GOODSOUND();
                       },
                       [&] { return AsCode(oBalloonDlg->Do("MsgBalloon", {cText, int64_t{68}, title})) == 6; });
}

std::optional<int> TMsAgent::WYesNoCancel(const std::string& cText, std::optional<std::string> cTitle) {
  const std::string title = cTitle ? *cTitle : GetName();
  std::optional<std::optional<int>> code = Balloon<std::optional<int>>(
      [&]() -> std::optional<int> { return MESSAGEBOX(cText, title, 3); },
      [&] {
        Animate("Confused");
        GOODSOUND();
      },
      [&] { return AsCode(oBalloonDlg->Do("MsgBalloon", {cText, int64_t{67}, title})); });
  return code ? *code : std::nullopt;
}

void TMsAgent::WOptions() { MSGSTOP("Bajo desarrollo / Under development"); }

}  // namespace memotab
