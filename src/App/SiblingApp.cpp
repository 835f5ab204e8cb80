#include "App/SiblingApp.h"

#include "Core/Path.h"
#include "Platform/ProfileReader.h"

#include <fcntl.h>
#include <locale.h>
#include <semaphore.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>

namespace {

constexpr const char* kSystemConfig = "/etc/zaveditor/photo-printing.ini";
constexpr const char* kSection = "VELMO Snapcarousel3.0";
// glibc keeps named semaphores as "sem.<name>" files in /dev/shm.
constexpr std::size_t kMaxSemaphoreName = 251;

std::optional<std::string> ReadValue(const char* key)
{
    return ReadProfileValue(SiblingAppConfigPath(), kSection, key);
}

double ParseVersionC(const std::string& text)
{
    // Versions are written with a dot whatever the user's locale says.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (cLocale == static_cast<locale_t>(nullptr))
        return -1;
    return strtod_l(text.c_str(), nullptr, cLocale);
}

} // namespace

std::string SiblingAppConfigPath()
{
    if (const char* named = std::getenv("ZAV_PHOTO_APP_CONFIG"); named && *named)
        return named;
    return kSystemConfig;
}

int GetSiblingAppPath(std::string& path)
{
    const std::optional<std::string> value = ReadValue("PATH");
    if (!value)
        return 0;
    path = *value;
    return 1;
}

int GetSiblingAppFolder(std::string& folder)
{
    std::string path;
    if (!GetSiblingAppPath(path) || path.empty())
        return 0;
    folder = GetFolderFromPath(path);
    return 1;
}

std::string SiblingSemaphoreName(const std::string& caption)
{
    if (caption.empty() || caption.size() > kMaxSemaphoreName || caption.find('/') != std::string::npos ||
        caption.find('\0') != std::string::npos || caption == "." || caption == "..")
        return {};
    return "/" + caption;
}

int IsSiblingAppRunning()
{
    const std::optional<std::string> caption = ReadValue("CAPTION");
    if (!caption)
        return 0;
    const std::string name = SiblingSemaphoreName(*caption);
    if (name.empty())
        return 0;
    sem_t* semaphore = sem_open(name.c_str(), 0);
    if (semaphore == SEM_FAILED)
        return 0;
    sem_close(semaphore);
    return 1;
}

double GetFileVersionString()
{
    std::string path;
    if (!GetSiblingAppPath(path) || path.empty())
        return -1;
    // The version belongs to the program file: without the file there is none.
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    const std::optional<std::string> version = ReadValue("VERSION");
    if (!version)
        return -1;
    return ParseVersionC(*version);
}
