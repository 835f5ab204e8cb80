#include "Dialogs/ShiftJisEdit.h"

#include "Platform/ShiftJis.h"

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
