#include "dialog_template.h"

#include "win.h"

#include "wide_text.h"

namespace memotab {

namespace {

void Put32(std::vector<uint16_t>& words, uint32_t value) {
  words.push_back(static_cast<uint16_t>(value & 0xFFFF));
  words.push_back(static_cast<uint16_t>(value >> 16));
}

}  // namespace

DialogTemplate::DialogTemplate(const std::string& caption, uint32_t style, short cx, short cy) {
  Put32(words_, style | DS_SETFONT);
  Put32(words_, 0);  // extended style
  countAt_ = words_.size();
  words_.push_back(0);  // number of controls
  for (const short value : {short{0}, short{0}, cx, cy}) words_.push_back(static_cast<uint16_t>(value));
  words_.push_back(0);  // no menu
  words_.push_back(0);  // the system's dialog class
  AddText(caption);
  words_.push_back(8);
  AddText("MS Shell Dlg");
}

void DialogTemplate::AddControl(ControlClass controlClass, const std::string& text, uint16_t id, uint32_t style,
                                short x, short y, short cx, short cy) {
  AlignToDword();
  Put32(words_, style | WS_CHILD | WS_VISIBLE);
  Put32(words_, 0);
  for (const short value : {x, y, cx, cy}) words_.push_back(static_cast<uint16_t>(value));
  words_.push_back(id);
  words_.push_back(0xFFFF);
  words_.push_back(controlClass);
  AddText(text);
  words_.push_back(0);  // no creation data
  ++words_[countAt_];
}

void DialogTemplate::AddText(const std::string& text) {
  const std::wstring wide = AnsiToWide(text);
  words_.insert(words_.end(), wide.begin(), wide.end());
  words_.push_back(0);
}

void DialogTemplate::AlignToDword() {
  if (words_.size() % 2 != 0) words_.push_back(0);
}

}  // namespace memotab
