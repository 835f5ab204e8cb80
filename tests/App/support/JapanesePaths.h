// Paths of Japanese folder names of an exact Shift-JIS length, for the tests
// of the path limits (which count Shift-JIS bytes, never UTF-8 ones).
#pragma once

#include "Platform/ShiftJis.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QString>

#include <algorithm>
#include <iterator>
#include <string>

// Kana and kanji, each two bytes in Shift-JIS and three in UTF-8.
inline const char* const kWideChars[] = {"\xe3\x81\x82", "\xe3\x81\x8b", "\xe3\x82\xb5", "\xe5\x86\x99",
                                         "\xe7\x9c\x9f", "\xe6\x97\xa5", "\xe6\x9c\xac"};
// A half-width katakana: one byte in Shift-JIS, three in UTF-8.
inline const char kNarrowKana[] = "\xef\xbd\xb6";

// `root` followed by folders of Japanese names, such that the folder and the
// tail take exactly `bytes` bytes in Shift-JIS; the folders are made.
inline std::string JapaneseFolder(const std::string& root, std::size_t bytes, const std::string& tail)
{
    const std::size_t fixed = ShiftJisByteCount(root) + ShiftJisByteCount(tail);
    EXPECT_LT(fixed + 2, bytes);
    std::size_t needed = bytes - fixed;
    std::string folder = root;
    std::size_t next = 0;
    while (needed > 0) {
        // A slash and up to 80 bytes of name; never leave a single byte over.
        std::size_t body = std::min<std::size_t>(needed - 1, 80);
        if (needed - 1 - body == 1)
            --body;
        folder += "/";
        for (std::size_t i = 0; i + 2 <= body; i += 2)
            folder += kWideChars[next++ % std::size(kWideChars)];
        if (body % 2 == 1)
            folder += kNarrowKana;
        needed -= 1 + body;
    }
    EXPECT_EQ(ShiftJisByteCount(folder + tail), bytes);
    EXPECT_GT(folder.size() + tail.size(), bytes); // the UTF-8 form is longer
    QDir().mkpath(QString::fromStdString(folder));
    return folder;
}
