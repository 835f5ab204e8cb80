#include "Dialogs/ShiftJisEdit.h"

#include "Platform/ShiftJis.h"

std::size_t ShiftJisByteCount(std::string_view utf8)
{
    std::size_t bytes = 0;
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    for (const char32_t c : text.toUcs4()) {
        const std::optional<std::string> sjis = Utf8ToShiftJis(QString::fromUcs4(&c, 1).toStdString());
        bytes += sjis ? sjis->size() : 2;
    }
    return bytes;
}

CShiftJisEdit::CShiftJisEdit(std::size_t maxBytes, QWidget* parent)
    : CCustomizedEdit(parent), m_maxBytes(maxBytes)
{
}

std::size_t CShiftJisEdit::KeptBytes() const
{
    QString kept = text();
    if (hasSelectedText())
        kept.remove(selectionStart(), selectionEnd() - selectionStart());
    return ShiftJisByteCount(kept.toStdString());
}

bool CShiftJisEdit::AcceptTypedChar(std::string_view character)
{
    return KeptBytes() + ShiftJisByteCount(character) <= m_maxBytes;
}

void CShiftJisEdit::InsertText(std::string_view inserted)
{
    const std::size_t kept = KeptBytes();
    const std::size_t room = kept < m_maxBytes ? m_maxBytes - kept : 0;
    const std::string fitting = CutToShiftJisBytes(inserted, room);
    CCustomizedEdit::InsertText(fitting);
    if (fitting.size() < inserted.size())
        Refuse();
}
