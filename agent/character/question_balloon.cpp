#include "question_balloon.h"

#include <algorithm>
#include <stdexcept>

#include "balloon_parts.h"
#include "event_loop.h"
#include "gdi_handles.h"
#include "window_dc.h"
#include "task_modal.h"
#include "window_class.h"

namespace memotab::character {

namespace {

constexpr int kTextWidth = 260;
constexpr int kPadding = 12;
constexpr int kIconSize = 32;
constexpr int kButtonHeight = 24;
constexpr int kInputHeight = 22;
constexpr int kGap = 8;
// Texts and titles are shown as they are ("&" too); a button's caption underlines its access key.
constexpr UINT kPlainText = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
constexpr UINT kCaption = DT_SINGLELINE;

struct Layout {
  SIZE size{};
  RECT title{};
  RECT text{};
  RECT input{};
  std::vector<RECT> buttons;
  int top = 0;  // where the box begins (below the tail when the balloon hangs below)
  bool textScrolls = false;  // the text is taller than the screen allows: it scrolls in a box of its own
};

// The state of one balloon while it is up.
struct Asking {
  const Question* question;
  std::vector<long> codes;  // the buttons shown, the default first
  long escape;
  std::optional<long> answer;
  Layout layout;
  BalloonPlace place;
  HFONT font;
  HFONT bold;
  UniqueBrush paper{CreateSolidBrush(kBalloonPaper)};
};

std::vector<long> ButtonsOf(long style, bool input) {
  if (input) return {1, 2};
  switch (style & 0xF) {
    case 3: return {6, 7, 2};
    case 4: return {6, 7};
    default: return {1};
  }
}

long EscapeOf(const std::vector<long>& codes) {
  if (std::find(codes.begin(), codes.end(), 2) != codes.end()) return 2;
  if (std::find(codes.begin(), codes.end(), 7) != codes.end()) return 7;
  return 1;
}

LPCSTR IconOf(long style) {
  switch (style & 0xF0) {
    case 16: return IDI_HAND;
    case 32: return IDI_QUESTION;
    case 48: return IDI_EXCLAMATION;
    case 64: return IDI_ASTERISK;
    default: return nullptr;
  }
}

SIZE Measure(HDC dc, HFONT font, const std::wstring& text, int width, UINT format = kPlainText) {
  const Selection selected(dc, font);
  RECT rect{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, DT_CALCRECT | format);
  return {rect.right, rect.bottom};
}

// `tallest` is the tallest the balloon may be.
Layout LayOut(const Asking& asking, const std::vector<std::wstring>& captions, HWND window, int tallest) {
  const WindowDc dc(window);
  Layout layout;
  const int left = kPadding + (IconOf(asking.question->style) != nullptr ? kIconSize + kGap : 0);
  int y = kPadding;
  if (asking.question->title && !asking.question->title->empty()) {
    const SIZE title = Measure(dc.hDC(), asking.bold, *asking.question->title, kTextWidth);
    layout.title = {left, y, left + title.cx, y + title.cy};
    y += title.cy + kGap / 2;
  }
  SIZE text = Measure(dc.hDC(), asking.font, asking.question->text, kTextWidth);
  const int belowText = kGap + (asking.question->input ? kInputHeight + kGap : 0) + kButtonHeight + kPadding + kBalloonTail;
  if (y + text.cy + belowText > tallest) {
    layout.textScrolls = true;
    text = {kTextWidth + GetSystemMetrics(SM_CXVSCROLL), std::max(kButtonHeight, tallest - y - belowText)};
  }
  layout.text = {left, y, left + text.cx, y + text.cy};
  y = std::max<int>(y + text.cy, IconOf(asking.question->style) != nullptr ? kPadding + kIconSize : 0) + kGap;
  if (asking.question->input) {
    layout.input = {left, y, left + kTextWidth, y + kInputHeight};
    y += kInputHeight + kGap;
  }
  int width = std::max<int>({layout.text.right, layout.title.right, layout.input.right}) + kPadding;
  int buttonsWidth = 0;
  std::vector<int> widths;
  for (const long code : asking.codes) {
    const std::wstring& caption = captions[static_cast<size_t>(code - 1)];
    widths.push_back(std::max<int>(76, Measure(dc.hDC(), asking.font, caption, 400, kCaption).cx + 24));
    buttonsWidth += widths.back() + kGap;
  }
  width = std::max(width, buttonsWidth - kGap + 2 * kPadding);
  int x = width - kPadding - (buttonsWidth - kGap);
  for (const int buttonWidth : widths) {
    layout.buttons.push_back({x, y, x + buttonWidth, y + kButtonHeight});
    x += buttonWidth + kGap;
  }
  layout.size = {width, y + kButtonHeight + kPadding + kBalloonTail};
  return layout;
}

// A multi-line text box breaks lines only at "\r\n".
std::wstring WithCarriageReturns(const std::wstring& text) {
  std::wstring result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) result += L'\r';
    result += text[i];
  }
  return result;
}

// Beside the notification area when no character was placed.
RECT NotificationArea() {
  if (const HWND tray = FindWindowA("Shell_TrayWnd", nullptr)) {
    const HWND icons = FindWindowExA(tray, nullptr, "TrayNotifyWnd", nullptr);
    RECT area{};
    if (GetWindowRect(icons != nullptr ? icons : tray, &area)) return area;
  }
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  return {work.right - 40, work.bottom - 1, work.right - 8, work.bottom};
}

void Paint(HWND window, Asking& asking) {
  const PaintScope painting(window);
  const HDC dc = painting.hDC();
  PaintBalloonPaper(window, dc, asking.paper.get());
  const int shift = asking.layout.top;
  if (const LPCSTR icon = IconOf(asking.question->style)) {
    DrawIconEx(dc, kPadding, kPadding + shift, LoadIconA(nullptr, icon), kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, kBalloonInk);
  const auto draw = [&](HFONT font, const std::wstring& text, RECT place) {
    const Selection selected(dc, font);
    OffsetRect(&place, 0, shift);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &place, kPlainText);
  };
  if (asking.question->title) draw(asking.bold, *asking.question->title, asking.layout.title);
  if (!asking.layout.textScrolls) draw(asking.font, asking.question->text, asking.layout.text);
}

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* asking = WindowOwner<Asking>(window, message, lParam);
  if (asking == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case DM_GETDEFID: return MAKELRESULT(asking->codes.front(), DC_HASDEFID);
    case WM_COMMAND: {
      const long code = LOWORD(wParam);
      const bool shown = std::find(asking->codes.begin(), asking->codes.end(), code) != asking->codes.end();
      if (HIWORD(wParam) == BN_CLICKED || lParam == 0) {
        if (shown) asking->answer = code;
        else if (code == IDCANCEL) asking->answer = asking->escape;  // Escape
      }
      return 0;
    }
    case WM_CLOSE: asking->answer = asking->escape; return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(window, *asking); return 0;
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:  // the buttons' corners and the read-only text box
      SetBkColor(reinterpret_cast<HDC>(wParam), kBalloonPaper);
      SetTextColor(reinterpret_cast<HDC>(wParam), kBalloonInk);
      return reinterpret_cast<LRESULT>(asking->paper.get());
    case WM_MOUSEWHEEL:  // the wheel scrolls the text wherever the pointer is over the balloon
      if (const HWND text = GetDlgItem(window, kTextBoxId)) return SendMessageW(text, message, wParam, lParam);
      return 0;
    default: return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

Answer AskInBalloon(const Question& question, const std::vector<std::wstring>& captions, std::optional<RECT> character) {
  RegisterWindowClassOnce(kQuestionBalloonClass, &Procedure);

  const UniqueFont font = BalloonFont(L"", 9);
  const UniqueFont bold = BalloonFont(L"", 9, FW_BOLD);
  Asking asking{&question, ButtonsOf(question.style, question.input), 1, std::nullopt, {}, {}, font.get(), bold.get()};
  asking.escape = EscapeOf(asking.codes);
  const UniqueWindow window(CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kQuestionBalloonClass, "",
                                            WS_POPUP | WS_CLIPCHILDREN, 0, 0, 10, 10, nullptr, nullptr,
                                            GetModuleHandleA(nullptr), &asking));
  if (!window) throw std::runtime_error("no se puede crear el globo de la pregunta");
  const TaskModal modal(window.get());
  SetWindowTextW(window.get(), question.title.value_or(L"").c_str());

  const RECT target = character.value_or(NotificationArea());
  const RECT work = WorkAreaOf(target);
  asking.layout = LayOut(asking, captions, window.get(), TallestBalloon(target, work));
  asking.place = PlaceBeside(asking.layout.size, target, work);
  asking.layout.top = asking.place.below ? kBalloonTail : 0;
  SetWindowRgn(window.get(), RoundedBoxWithTail(asking.layout.size, asking.place).release(), TRUE);
  SetWindowPos(window.get(), HWND_TOPMOST, asking.place.topLeft.x, asking.place.topLeft.y, asking.layout.size.cx,
               asking.layout.size.cy, SWP_NOACTIVATE);

  HWND first = nullptr;
  const auto child = [&](LPCWSTR kind, const std::wstring& text, DWORD style, RECT where, int id) {
    OffsetRect(&where, 0, asking.layout.top);
    const HWND control = CreateWindowExW(0, kind, text.c_str(), WS_CHILD | WS_VISIBLE | style, where.left,
                                         where.top, where.right - where.left, where.bottom - where.top, window.get(),
                                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleA(nullptr),
                                         nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    if (first == nullptr && (style & WS_TABSTOP)) first = control;
    return control;
  };
  if (asking.layout.textScrolls) {
    child(L"EDIT", WithCarriageReturns(question.text), ES_MULTILINE | ES_READONLY | WS_VSCROLL, asking.layout.text,
          kTextBoxId);
  }
  if (question.input) {
    const HWND line = child(L"EDIT", L"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, asking.layout.input, kInputLineId);
    SendMessageW(line, EM_LIMITTEXT, 255, 0);
  }
  for (size_t i = 0; i < asking.codes.size(); ++i) {
    const long code = asking.codes[i];
    child(L"BUTTON", captions[static_cast<size_t>(code - 1)], WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON),
          asking.layout.buttons[i], static_cast<int>(code));
  }

  ShowWindow(window.get(), SW_SHOW);
  SetForegroundWindow(window.get());
  SetFocus(first);
  if (!RunModalLoop(window.get(), [&] { return asking.answer.has_value(); })) {
    asking.answer = asking.escape;  // the program is ending: the question is left unanswered
  }
  Answer answer{*asking.answer, {}};
  if (question.input && answer.code == 1) {
    const HWND line = GetDlgItem(window.get(), kInputLineId);
    answer.typed.resize(static_cast<size_t>(GetWindowTextLengthW(line)) + 1);
    answer.typed.resize(static_cast<size_t>(GetWindowTextW(line, answer.typed.data(), static_cast<int>(answer.typed.size()))));
  }
  return answer;
}

}  // namespace memotab::character
