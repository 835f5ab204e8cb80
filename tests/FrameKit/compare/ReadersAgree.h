// The editor's readers and the frame-file kit read a file the editor wrote
// alike: the same items, rectangles, pictures and texts. Kinds: a layout
// script (".usd"), an editor document (".zvd", through the kit's text parser,
// since its layout reader knows layout scripts only), a set index (".usm",
// its member scripts included) and a package (".fdp", unpacked by the kit
// and every script inside compared).
#pragma once

#include <gtest/gtest.h>

#include <string>

// Whether ReadersAgree knows the kind of the path, by its extension.
bool ReadersCompareKind(const std::string& path);

// Success, or every difference found, one a line.
::testing::AssertionResult ReadersAgree(const std::string& path);
