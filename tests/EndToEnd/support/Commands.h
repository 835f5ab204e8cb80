// The program's command ids the end-to-end tests choose, as its menus, tool
// box and accelerators send them.
#pragma once

namespace commands {

inline constexpr int kLayoutInfo = 32772;
inline constexpr int kSaveAsRegister = 32773;
inline constexpr int kLineTool = 32810;
inline constexpr int kTextTool = 32830;
inline constexpr int kBackgroundTool = 32840;
inline constexpr int kTransparency = 32841;
inline constexpr int kInsertFrameTool = 32850;
inline constexpr int kApplyImage = 32851;
inline constexpr int kImageInfo = 32856;

} // namespace commands
