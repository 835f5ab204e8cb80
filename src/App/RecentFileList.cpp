#include "App/RecentFileList.h"

#include <QSettings>
#include <QString>

#include <algorithm>

namespace {

bool SamePath(const std::string& a, const std::string& b)
{
    return QString::fromStdString(a).compare(QString::fromStdString(b), Qt::CaseInsensitive) == 0;
}

QString ValueName(int number)
{
    return QStringLiteral("RecentUsedFile%1").arg(number);
}

} // namespace

void RecentFileList::AddRecentFile(const std::string& path)
{
    std::erase_if(m_entries, [&](const std::string& entry) { return SamePath(entry, path); });
    m_entries.insert(m_entries.begin(), path);
    if (m_entries.size() > MaxEntries)
        m_entries.resize(MaxEntries);
}

int RecentFileList::RemoveRecentFile(const std::string& path)
{
    auto it = std::find_if(m_entries.begin(), m_entries.end(),
                           [&](const std::string& entry) { return SamePath(entry, path); });
    if (it == m_entries.end())
        return 0;
    m_entries.erase(it);
    return 1;
}

void RecentFileList::Load(QSettings& store)
{
    m_entries.clear();
    for (int n = 1; n <= MaxEntries; ++n) {
        const std::string value = store.value(ValueName(n), QString()).toString().toStdString();
        if (value.empty())
            break;
        m_entries.push_back(value);
    }
}

void RecentFileList::Save(QSettings& store) const
{
    for (int n = 1; n <= MaxEntries; ++n) {
        const auto index = static_cast<std::size_t>(n - 1);
        const std::string value = index < m_entries.size() ? m_entries[index] : std::string();
        store.setValue(ValueName(n), QString::fromStdString(value));
    }
}
