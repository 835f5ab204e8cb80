// A numeric edit box: an optional minus sign, digits and, unless it takes
// integers only, one point with at most a given number of decimals. Leaving
// the box (or Enter) clamps the value into its range and rewrites it.
#pragma once

#include "Dialogs/CustomizedEdit.h"

#include <string>
#include <string_view>

// The leading number of a text as "%lf" reads it; 0.0 when there is none.
double ReadLeadingNumber(std::string_view text);
// printf's "%.Nf" (or "%.0f" for 0) and "%g" in the C locale, whatever the user's locale.
std::string FormatFixed(double value, int decimals);
std::string FormatGeneral(double value);

class CDigitEdit : public CCustomizedEdit
{
    Q_OBJECT
public:
    explicit CDigitEdit(QWidget* parent = nullptr);

    virtual double GetMin() const { return m_min; }
    virtual void SetMin(double value) { m_min = value; }
    virtual double GetMax() const { return m_max; }
    virtual void SetMax(double value) { m_max = value; }
    virtual void SetRange(double minimum, double maximum);
    virtual bool GetAllowMinus() const { return m_allowMinus; }
    virtual void SetAllowMinus(bool on) { m_allowMinus = on; }
    virtual bool GetIntegerOnly() const { return m_integerOnly; }
    virtual void SetIntegerOnly(bool on) { m_integerOnly = on; }
    virtual int GetDecimals() const { return m_decimals; }
    virtual void SetDecimals(int decimals) { m_decimals = decimals; }

    void Validate() override;
    void InsertText(std::string_view text) override;

    // The number the box shows, as Validate reads it.
    double Number() const;

protected:
    bool AcceptTypedChar(std::string_view character) override;

private:
    // The typing rules on a text whose selection is [start, end).
    bool DigitFits(const QString& text, int start, int end) const;
    bool MinusFits(const QString& text, int start, int end) const;
    bool PointFits(const QString& text, int start, int end) const;

    double m_min = -2147483648.0;
    double m_max = 2147483647.0;
    bool m_allowMinus = true;
    bool m_integerOnly = true;
    int m_decimals = -1;
};
