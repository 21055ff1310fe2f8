#include "foundation/money.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// Truncation toward zero that cannot leave the target's range.
template <typename T>
T SaturatingTruncate(double value)
{
    if (std::isnan(value))
        return 0;
    // The limits as doubles: the upper one rounds up to 2^31 or 2^63, itself out of range.
    const double low = double(std::numeric_limits<T>::min());
    const double high = double(std::numeric_limits<T>::max());
    if (value <= low)
        return std::numeric_limits<T>::min();
    if (value >= high)
        return std::numeric_limits<T>::max();
    return T(value);
}

}  // namespace

CMoney::CMoney(double amount)
    : m_amount(int64_t(SaturatingTruncate<int32_t>((amount + 0.0005) * 1000.0)) * 10)
{
}

CMoney CMoney::FromUnits(int64_t tenThousandths)
{
    CMoney money;
    money.m_amount = tenThousandths;
    return money;
}

CMoney CMoney::operator+(const CMoney& other) const
{
    CMoney sum(*this);
    return sum += other;
}

CMoney& CMoney::operator+=(const CMoney& other)
{
    // Wrapping, like the integer it is, but without the undefined signed overflow.
    m_amount = int64_t(uint64_t(m_amount) + uint64_t(other.m_amount));
    return *this;
}

CMoney CMoney::operator*(double factor) const
{
    CMoney product(*this);
    return product *= factor;
}

CMoney& CMoney::operator*=(double factor)
{
    if (!std::isnan(factor))
        m_amount = SaturatingTruncate<int64_t>(double(m_amount) * factor);
    return *this;
}

CMoney CMoney::operator/(int32_t divisor) const
{
    CMoney quotient(*this);
    return quotient /= divisor;
}

CMoney& CMoney::operator/=(int32_t divisor)
{
    if (divisor == 0 || (divisor == -1 && m_amount == std::numeric_limits<int64_t>::min()))
        return *this;
    m_amount /= divisor;
    return *this;
}

std::string CMoney::ToString() const
{
    // Whole cents, halves away from zero, in integers so that large amounts stay exact.
    int64_t cents = m_amount / 100;
    const int64_t rest = m_amount % 100;
    if (rest >= 50)
        ++cents;
    else if (rest <= -50)
        --cents;
    const bool negative = cents < 0;
    const uint64_t magnitude = negative ? 0 - uint64_t(cents) : uint64_t(cents);
    char text[32];
    std::snprintf(text, sizeof(text), "%s%llu.%02llu", negative ? "-" : "",
                  static_cast<unsigned long long>(magnitude / 100),
                  static_cast<unsigned long long>(magnitude % 100));
    return text;
}

std::string CMoney::ToPreciseString() const
{
    if (m_amount % 100 == 0)
        return ToString();
    char text[48];
    std::snprintf(text, sizeof(text), "%0.3f", double(m_amount) / 10000.0);
    return text;
}
