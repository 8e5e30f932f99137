#include "app/views/ordertablewidgetitem.h"

#include "core/utils.h"

#include <cmath>

namespace {

// The text's value, with a 万 or 亿 suffix read as its multiple; false when
// it is no finite number.
bool readNumber(const QString& text, double* value)
{
    QString number = text.trimmed();
    double unit = 1.0;
    if (number.endsWith(QStringLiteral("万"))) {
        unit = 1e4;
        number.chop(1);
    } else if (number.endsWith(QStringLiteral("亿"))) {
        unit = 1e8;
        number.chop(1);
    }
    // As the services' figures are read: "5,555.00" is a number too.
    *value = readFigure(number) * unit;
    return std::isfinite(*value);
}

} // namespace

OrderTableWidgetItem::OrderTableWidgetItem(const QString& text)
    : QTableWidgetItem(text)
{
    readText();
}

OrderTableWidgetItem::~OrderTableWidgetItem() = default;

bool OrderTableWidgetItem::operator<(const QTableWidgetItem& other) const
{
    // A strict weak order, as the table's sort needs: numbers by value, then
    // the texts that are none. Reading those as 0 put them among the numbers,
    // and "nan" compared false both ways with everything.
    double theirs = 0;
    const auto* ordered = dynamic_cast<const OrderTableWidgetItem*>(&other);
    const bool theirsIsNumber =
        ordered ? ordered->m_isNumber : readNumber(other.text(), &theirs);
    if (ordered)
        theirs = ordered->m_value;
    if (m_isNumber && theirsIsNumber)
        return m_value < theirs;
    if (m_isNumber != theirsIsNumber)
        return m_isNumber;
    // In the same text order as a plain cell.
    return QTableWidgetItem::operator<(other);
}

void OrderTableWidgetItem::setData(int role, const QVariant& value)
{
    QTableWidgetItem::setData(role, value);
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        readText();
}

void OrderTableWidgetItem::readText()
{
    m_isNumber = readNumber(text(), &m_value);
}
