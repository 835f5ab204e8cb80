#include "App/CarriedThumbnail.h"

#include "ImageProcessing/Image.h"

#include <QCryptographicHash>

namespace {

std::string PageDigest(const CImage& drawn)
{
    if (!drawn.IsValid() || !drawn.GetBits())
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const int size[2] = {drawn.GetWidth(), drawn.GetHeight()};
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(size), sizeof size));
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(drawn.GetBits()),
                                static_cast<qsizetype>(drawn.GetRowBytes()) * drawn.GetHeight()));
    return hash.result().toStdString();
}

} // namespace

void CCarriedThumbnail::Remember(const std::string& file, const CImage& drawn)
{
    m_file.Remember(file, PageDigest(drawn));
}

void CCarriedThumbnail::Forget()
{
    m_file.Forget();
}

void CCarriedThumbnail::Follow(const std::string& file)
{
    m_file.Follow(file);
}

std::optional<std::vector<char>> CCarriedThumbnail::Take(const CImage& drawn) const
{
    return m_file.Take(PageDigest(drawn));
}
