#include "Layout/CarriedPicture.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

std::string DigestOf(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toStdString();
}

// Streamed: a working copy may be tens of megabytes.
std::optional<std::string> DigestOfFile(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (path.empty() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return std::nullopt;
    return hash.result().toStdString();
}

} // namespace

void CCarriedPicture::Remember(const std::string& source, const std::string& working)
{
    Forget();
    const auto sourceDigest = DigestOfFile(source);
    const auto workingDigest = DigestOfFile(working);
    if (!sourceDigest || !workingDigest)
        return;
    m_source = source;
    m_sourceDigest = *sourceDigest;
    m_workingDigest = *workingDigest;
}

void CCarriedPicture::Forget()
{
    m_source.clear();
    m_sourceDigest.clear();
    m_workingDigest.clear();
}

void CCarriedPicture::Follow(const std::string& file)
{
    if (IsSet() && DigestOfFile(file) == m_sourceDigest)
        m_source = file;
}

std::optional<std::vector<char>> CCarriedPicture::Take(const std::string& working) const
{
    if (!IsSet() || DigestOfFile(working) != m_workingDigest)
        return std::nullopt;
    QFile file(QString::fromStdString(m_source));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || DigestOf(bytes) != m_sourceDigest)
        return std::nullopt;
    return std::vector<char>(bytes.begin(), bytes.end());
}
