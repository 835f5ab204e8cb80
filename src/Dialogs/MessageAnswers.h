// The buttons of a question box and the answers it gives, in the values the
// dialogs compare against.
#pragma once

constexpr unsigned MB_YESNO = 0x04;
constexpr unsigned MB_DEFBUTTON2 = 0x100;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;

constexpr int kAnswerOk = 1;
constexpr int kAnswerYes = 6;
constexpr int kAnswerNo = 7;
