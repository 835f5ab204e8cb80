#include "Dialogs/DigitEdit.h"

#include <QGuiApplication>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>

double ReadLeadingNumber(std::string_view text)
{
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r')))
        ++at;
    if (at < text.size() && text[at] == '+') {
        ++at;
        if (at < text.size() && text[at] == '-')
            return 0.0;
    }
    const char* first = text.data() + at;
    const char* last = text.data() + text.size();
    double value = 0.0;
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Past the double's range: "%lf" gives infinity, or 0 for a tiny magnitude.
        const std::string_view number(first, static_cast<std::size_t>(end - first));
        const std::size_t exponent = number.find_first_of("eE");
        if (exponent != std::string_view::npos && exponent + 1 < number.size() && number[exponent + 1] == '-')
            return 0.0;
        return *first == '-' ? -std::numeric_limits<double>::infinity()
                             : std::numeric_limits<double>::infinity();
    }
    return error == std::errc() ? value : 0.0;
}

std::string FormatFixed(double value, int decimals)
{
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, std::max(decimals, 0));
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string();
}

std::string FormatGeneral(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string();
}

CDigitEdit::CDigitEdit(QWidget* parent) : CCustomizedEdit(parent)
{
    // Only half-width characters should arrive; commits that still do are filtered.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void CDigitEdit::SetRange(double minimum, double maximum)
{
    m_min = minimum;
    m_max = maximum;
}

double CDigitEdit::Number() const
{
    return ReadLeadingNumber(text().toStdString());
}

bool CDigitEdit::DigitFits(const QString& text, int start, int end) const
{
    if (m_integerOnly || m_decimals <= 0)
        return true;
    const int point = static_cast<int>(text.indexOf(QLatin1Char('.')));
    if (point < 0 || point >= start)
        return true;
    const int after = static_cast<int>(text.size()) - point - 1 - (end - start);
    return after < m_decimals;
}

bool CDigitEdit::MinusFits(const QString& text, int start, int end) const
{
    if (!m_allowMinus || start != 0)
        return false;
    return !(text.startsWith(QLatin1Char('-')) && end == 0);
}

bool CDigitEdit::PointFits(const QString& text, int start, int end) const
{
    if (m_integerOnly)
        return false;
    const int point = static_cast<int>(text.indexOf(QLatin1Char('.')));
    if (point >= 0)
        return start < end && point >= start && point < end;
    // The characters after the caret become the decimals.
    return m_decimals < 1 || static_cast<int>(text.size()) - end <= m_decimals;
}

bool CDigitEdit::AcceptTypedChar(std::string_view character)
{
    if (character.size() != 1)
        return false;
    const QString current = text();
    int start = cursorPosition();
    int end = start;
    if (hasSelectedText()) {
        start = selectionStart();
        end = selectionEnd();
    }
    const char c = character[0];
    if (c >= '0' && c <= '9')
        return DigitFits(current, start, end);
    if (c == '-')
        return MinusFits(current, start, end);
    if (c == '.')
        return PointFits(current, start, end);
    return false;
}

void CDigitEdit::InsertText(std::string_view inserted)
{
    QString built = text();
    int at = cursorPosition();
    if (hasSelectedText()) {
        at = selectionStart();
        built.remove(at, selectionEnd() - at);
    }
    const int limit = maxLength();
    bool refusedAny = false;
    for (const char32_t c :
         QString::fromUtf8(inserted.data(), static_cast<qsizetype>(inserted.size())).toUcs4()) {
        bool fits = false;
        if (c >= '0' && c <= '9')
            fits = DigitFits(built, at, at);
        else if (c == '-')
            fits = MinusFits(built, at, at);
        else if (c == '.')
            fits = PointFits(built, at, at);
        if (fits && built.size() >= limit)
            fits = false;
        if (!fits) {
            refusedAny = true;
            continue;
        }
        built.insert(at, QChar(static_cast<char16_t>(c)));
        ++at;
    }
    setText(built);
    setCursorPosition(at);
    if (refusedAny)
        Refuse();
}

void CDigitEdit::Validate()
{
    double value = Number();
    if (std::isnan(value))
        value = 0.0;
    value = std::min(std::max(value, m_min), m_max);
    std::string formatted;
    if (m_integerOnly) {
        const double whole =
            std::clamp(std::trunc(value), static_cast<double>(INT_MIN), static_cast<double>(INT_MAX));
        formatted = std::to_string(static_cast<int>(whole));
    } else if (m_decimals > 0) {
        formatted = FormatFixed(value, m_decimals);
    } else {
        formatted = FormatGeneral(value);
    }
    setText(QString::fromStdString(formatted));
}
