#include "App/QtTranslation.h"

#include "Core/LocalizeScript.h"

#include <QCoreApplication>
#include <QLibraryInfo>

#include <array>
#include <cstdint>
#include <utility>

namespace {

// The interface font that every dialog is set in.
constexpr int kInterfaceFontId = 1;

struct CharSetLanguage
{
    std::uint8_t charSet;
    const char* language;
};

// Character sets whose text is in one language, with the name of Qt's translation.
constexpr std::array<CharSetLanguage, 5> kLanguages{{
    {128, "ja"},    // Shift-JIS
    {129, "ko"},    // Hangul
    {134, "zh_CN"}, // GB 2312
    {136, "zh_TW"}, // Big5
    {204, "ru"},    // Cyrillic
}};

} // namespace

std::string ProgramLanguage(const std::string& localizeIniPath)
{
    LocalizeFontInfo font;
    if (!CLocalizeScript(localizeIniPath).GetFont(kInterfaceFontId, font))
        return {};
    for (const CharSetLanguage& entry : kLanguages)
        if (entry.charSet == font.charSet)
            return entry.language;
    return {};
}

std::unique_ptr<QTranslator> InstallQtTranslation(const std::string& localizeIniPath)
{
    const std::string language = ProgramLanguage(localizeIniPath);
    if (language.empty() || !QCoreApplication::instance())
        return nullptr;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_") + QString::fromStdString(language),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return nullptr;
    if (!QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator;
}
