#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace memotab {

// A dialog template built in memory, for the framework's own boxes that carry no resource
// template. Positions and sizes are dialog units; texts are Windows-1252.
class DialogTemplate {
 public:
  enum ControlClass : uint16_t { kButton = 0x80, kEdit = 0x81, kStatic = 0x82, kListBox = 0x83 };

  DialogTemplate(const std::string& caption, uint32_t style, short cx, short cy);
  void AddControl(ControlClass controlClass, const std::string& text, uint16_t id, uint32_t style, short x, short y,
                  short cx, short cy);
  // The template as DialogBoxIndirectParamA takes it; valid while the object lives.
  const void* Data() const { return words_.data(); }

 private:
  void AddText(const std::string& text);
  void AlignToDword();

  std::vector<uint16_t> words_;
  size_t countAt_;
};

}  // namespace memotab
