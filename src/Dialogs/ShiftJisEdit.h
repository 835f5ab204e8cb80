// A text box whose limit counts the bytes the text takes in Shift-JIS, the
// form the layout files store; input past it is cut at a character boundary.
// A character Shift-JIS cannot hold counts two bytes here and is refused by
// the dialog's OK with a message.
#pragma once

#include "Dialogs/CustomizedEdit.h"
#include "Platform/ShiftJis.h"

#include <cstddef>
#include <string_view>

class CShiftJisEdit : public CCustomizedEdit
{
    Q_OBJECT
public:
    CShiftJisEdit(std::size_t maxBytes, QWidget* parent = nullptr);

    void InsertText(std::string_view text) override;

protected:
    bool AcceptTypedChar(std::string_view character) override;

private:
    // The bytes the text keeps outside the selection.
    std::size_t KeptBytes() const;

    std::size_t m_maxBytes;
};
