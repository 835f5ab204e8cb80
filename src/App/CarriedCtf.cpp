#include "App/CarriedCtf.h"

#include <QCryptographicHash>
#include <QFile>

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

void CCarriedCtf::Remember(const std::string& file, const std::string& sources)
{
    Forget();
    const auto bytes = FileBytes(file);
    if (!bytes || sources.empty())
        return;
    m_file = file;
    m_fileDigest = Digest(*bytes);
    m_sources = sources;
}

void CCarriedCtf::Forget()
{
    m_file.clear();
    m_fileDigest.clear();
    m_sources.clear();
}

std::optional<std::vector<char>> CCarriedCtf::Take(const std::string& sources) const
{
    if (m_file.empty() || sources.empty() || sources != m_sources)
        return std::nullopt;
    const auto bytes = FileBytes(m_file);
    if (!bytes || Digest(*bytes) != m_fileDigest)
        return std::nullopt;
    return std::vector<char>(bytes->begin(), bytes->end());
}
