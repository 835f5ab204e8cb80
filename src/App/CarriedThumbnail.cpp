#include "App/CarriedThumbnail.h"

#include "ImageProcessing/Image.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

std::string PageDigest(const CImage& drawn)
{
    const CImage& image = drawn;
    if (!image.IsValid() || !image.GetBits())
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const int size[2] = {image.GetWidth(), image.GetHeight()};
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(size), sizeof size));
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(image.GetBits()),
                                static_cast<qsizetype>(image.GetRowBytes()) * image.GetHeight()));
    return hash.result().toStdString();
}

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

void CCarriedThumbnail::Remember(const std::string& file, const CImage& drawn)
{
    Forget();
    const auto bytes = FileBytes(file);
    const std::string page = PageDigest(drawn);
    if (!bytes || page.empty())
        return;
    m_file = file;
    m_fileDigest = Digest(*bytes);
    m_pageDigest = page;
}

void CCarriedThumbnail::Forget()
{
    m_file.clear();
    m_fileDigest.clear();
    m_pageDigest.clear();
}

void CCarriedThumbnail::Follow(const std::string& file)
{
    if (m_file.empty())
        return;
    if (const auto bytes = FileBytes(file); bytes && Digest(*bytes) == m_fileDigest)
        m_file = file;
}

std::optional<std::vector<char>> CCarriedThumbnail::Take(const CImage& drawn) const
{
    if (m_file.empty() || PageDigest(drawn) != m_pageDigest)
        return std::nullopt;
    const auto bytes = FileBytes(m_file);
    if (!bytes || Digest(*bytes) != m_fileDigest)
        return std::nullopt;
    return std::vector<char>(bytes->begin(), bytes->end());
}
