#pragma once

#include <cstdint>
#include <string>

// An amount of money as a count of ten-thousandths, so that sums and comparisons are exact.
class CMoney
{
public:
    static constexpr int64_t kUnit = 10000;

    CMoney() = default;
    // Through whole thousandths: truncate((d + 0.0005) * 1000) * 10, the thousandths saturated to
    // 32 bits (NaN gives 0). The half thousandth is added whatever the sign, so -1.5 is -1.499.
    explicit CMoney(double amount);
    static CMoney FromUnits(int64_t tenThousandths);

    double ToDouble() const { return double(m_amount) / 10000.0; }
    int64_t GetAmount() const { return m_amount; }

    CMoney operator+(const CMoney& other) const;
    CMoney& operator+=(const CMoney& other);
    // Truncated toward zero, saturated to the 64-bit range; a NaN factor changes nothing.
    CMoney operator*(double factor) const;
    CMoney& operator*=(double factor);
    // Integer division truncating toward zero. Dividing by 0, or the most negative amount by -1,
    // leaves the amount as it is.
    CMoney operator/(int32_t divisor) const;
    CMoney& operator/=(int32_t divisor);

    bool operator==(const CMoney& other) const { return m_amount == other.m_amount; }
    bool operator!=(const CMoney& other) const { return m_amount != other.m_amount; }
    bool operator<(const CMoney& other) const { return m_amount < other.m_amount; }
    bool operator>(const CMoney& other) const { return m_amount > other.m_amount; }

    // Rounded to cents, halves away from zero: "1.23".
    std::string ToString() const;
    // Cents when that is exact, else thousandths: "1.00", "1.001".
    std::string ToPreciseString() const;

private:
    int64_t m_amount = 0;
};
