// The platform's file dialog of Save As, opened in a folder that exists and
// answering an absolute path.
#pragma once

#include <optional>
#include <string>

class QWidget;

// The chosen path, or nothing when the user cancelled.
std::optional<std::string> RunPlatformSaveFileDialog(QWidget* parent, const std::string& title,
                                                     const std::string& filter, const std::string& proposal);
