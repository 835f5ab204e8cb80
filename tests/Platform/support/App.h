// One QApplication for the tests that need widgets.
#pragma once

void EnsureApp();
