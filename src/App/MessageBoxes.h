// The editor's message boxes: localised text and caption, owned by the main
// window's active window unless that is a floating bar. Tests install a
// presenter that records instead of showing.
#pragma once

#include <QString>

#include <functional>
#include <string>

class QWidget;

constexpr unsigned MB_ICONSTOP = 0x10;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_ICONWARNING = 0x30;

using MessagePresenter =
    std::function<void(QWidget* owner, const QString& text, const QString& caption, unsigned type)>;

// Null restores the real message box.
void SetMessagePresenter(MessagePresenter presenter);
// What the boxes read: the localisation file and the main window (may be null).
void SetMessageContext(std::string localizeIniPath, QWidget* mainWindow);

// The owner of a box: the active window, or the main window when the active
// window is a floating bar or there is none.
QWidget* MessageBoxOwner(QWidget* mainWindow, QWidget* activeWindow);

// Shows a box with any text and caption (used before the localisation file is known).
void ShowMessage(QWidget* owner, const QString& text, const QString& caption, unsigned type);
void ShowLocalizedMessage(int textId, unsigned type);
// Text 24 with the stop icon.
void ShowGeneralError();
// Id 1 is the general error; every other id, -1 included, shows nothing.
void ReportErrorCode(int errorId);
