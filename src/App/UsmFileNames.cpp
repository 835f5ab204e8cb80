#include "App/UsmFileNames.h"

#include "Core/Path.h"
#include "Platform/ShiftJis.h"
#include "Script/ScriptText.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <fstream>
#include <iterator>
#include <optional>

namespace {

constexpr std::string_view kNameKey = "HdFilename";

bool StartsWithNameKey(std::string_view line)
{
    if (line.size() < kNameKey.size())
        return false;
    return QString::fromLatin1(line.data(), static_cast<qsizetype>(kNameKey.size()))
               .compare(QLatin1String(kNameKey.data(), static_cast<qsizetype>(kNameKey.size())),
                        Qt::CaseInsensitive) == 0;
}

// The name a line lists, or nothing.
std::optional<std::string> NameOfLine(std::string bytes)
{
    StripShiftJisComment(bytes);
    const std::string_view line = TrimScriptBlanks(bytes);
    if (!StartsWithNameKey(line))
        return std::nullopt;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos || line.size() - equals - 1 < 2)
        return std::nullopt;
    std::optional<std::string> value = ShiftJisToUtf8(line.substr(equals + 1));
    if (!value)
        return std::nullopt;
    UnquoteString(*value);
    if (value->empty())
        return std::nullopt;
    return value;
}

bool IsBareFileName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\\') == std::string::npos;
}

} // namespace

int ReadUsmHeaderFileNames(const std::string& usmPath, std::vector<std::string>* list)
{
    if (usmPath.empty() || !list)
        return 0;
    std::ifstream file(usmPath, std::ios::binary);
    if (!file)
        return 0;
    std::string line;
    while (std::getline(file, line)) {
        if (std::optional<std::string> name = NameOfLine(line))
            list->push_back(std::move(*name));
    }
    return 1;
}

int CollectUsmNamedFiles(const std::string& folder, std::vector<std::string>* list)
{
    if (folder.empty() || !list)
        return 0;
    const QDir dir(QString::fromStdString(folder));
    const QStringList files = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& index : files) {
        if (!index.endsWith(QStringLiteral(".usm"), Qt::CaseInsensitive))
            continue;
        std::vector<std::string> names;
        ReadUsmHeaderFileNames(CombinePath(folder, index.toStdString()), &names);
        for (const std::string& name : names) {
            if (!IsBareFileName(name))
                continue;
            // Names written elsewhere may differ in case from the file here.
            const QString wanted = QString::fromStdString(name);
            if (files.contains(wanted)) {
                list->push_back(CombinePath(folder, name));
                continue;
            }
            for (const QString& file : files) {
                if (file.compare(wanted, Qt::CaseInsensitive) == 0) {
                    list->push_back(CombinePath(folder, file.toStdString()));
                    break;
                }
            }
        }
    }
    return 1;
}

int IsNamedByUsmInFolder(const std::string& path)
{
    std::vector<std::string> named;
    if (!CollectUsmNamedFiles(GetFolderFromPath(path), &named))
        return 0;
    const QString wanted = QString::fromStdString(path);
    for (const std::string& file : named)
        if (QString::fromStdString(file).compare(wanted, Qt::CaseInsensitive) == 0)
            return 1;
    return 0;
}
