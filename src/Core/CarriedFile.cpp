#include "Core/CarriedFile.h"

#include <QCryptographicHash>
#include <QFile>

#include <sys/stat.h>

namespace {

std::optional<QByteArray> FileBytes(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (path.empty() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

std::string Digest(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toStdString();
}

} // namespace

std::optional<FileStamp> StampOfFile(const std::string& path)
{
    struct stat status
    {
    };
    if (path.empty() || ::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    constexpr std::int64_t kNs = 1000000000;
    FileStamp stamp;
    stamp.device = static_cast<std::uint64_t>(status.st_dev);
    stamp.inode = static_cast<std::uint64_t>(status.st_ino);
    stamp.size = static_cast<std::uint64_t>(status.st_size);
    stamp.modifiedNs = std::int64_t{status.st_mtim.tv_sec} * kNs + status.st_mtim.tv_nsec;
    stamp.changedNs = std::int64_t{status.st_ctim.tv_sec} * kNs + status.st_ctim.tv_nsec;
    return stamp;
}

void CCarriedFile::Remember(const std::string& file, const std::string& key)
{
    Forget();
    const auto bytes = FileBytes(file);
    if (!bytes || key.empty())
        return;
    m_file = file;
    m_fileDigest = Digest(*bytes);
    m_key = key;
}

void CCarriedFile::Forget()
{
    m_file.clear();
    m_fileDigest.clear();
    m_key.clear();
}

void CCarriedFile::Follow(const std::string& file)
{
    if (m_file.empty())
        return;
    if (const auto bytes = FileBytes(file); bytes && Digest(*bytes) == m_fileDigest)
        m_file = file;
}

std::optional<std::vector<char>> CCarriedFile::Take(const std::string& key) const
{
    if (m_file.empty() || key.empty() || key != m_key)
        return std::nullopt;
    const auto bytes = FileBytes(m_file);
    if (!bytes || Digest(*bytes) != m_fileDigest)
        return std::nullopt;
    return std::vector<char>(bytes->begin(), bytes->end());
}
