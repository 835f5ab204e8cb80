// Qt's own texts (standard buttons, file and colour dialogs) in the language
// of the program's texts, so that no standard dialog speaks another language.
#pragma once

#include <QTranslator>

#include <memory>
#include <string>

// The language Localize.ini is written in, as its interface font's character
// set names it ("ja" for Shift-JIS); empty for Western text, which Qt's own
// texts already are, and when the file has no interface font.
std::string ProgramLanguage(const std::string& localizeIniPath);

// Loads and installs Qt's translation of that language from Qt's translations
// folder; null when there is none (nothing to translate, or the translation
// package is missing). The translation stays installed while the result lives.
std::unique_ptr<QTranslator> InstallQtTranslation(const std::string& localizeIniPath);
