// One QApplication for the tests that need fonts, screens, widgets or the
// clipboard.
#pragma once

void EnsureGuiApp();
