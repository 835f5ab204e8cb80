// One QGuiApplication for the tests that need fonts, screens or the clipboard.
#pragma once

void EnsureGuiApp();
