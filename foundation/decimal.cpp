#include "foundation/decimal.h"

SDecimal ScanDecimal(const char* text, uint64_t max)
{
    SDecimal scan;
    scan.end = text;
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f')
        ++p;
    if (*p == '-') {
        scan.result = EDecimalScan::kNegative;
        return scan;
    }
    if (*p == '+')
        ++p;
    if (*p < '0' || *p > '9')
        return scan;
    scan.firstDigit = p;
    uint64_t value = 0;
    bool overflow = false;
    for (; *p >= '0' && *p <= '9'; ++p, ++scan.digits) {
        const uint64_t digit = uint64_t(*p - '0');
        if (!overflow && (digit > max || value > (max - digit) / 10))
            overflow = true;
        if (!overflow)
            value = value * 10 + digit;
    }
    if (overflow) {
        scan.result = EDecimalScan::kOverflow;
        return scan;
    }
    scan.result = EDecimalScan::kOk;
    scan.value = value;
    scan.end = p;
    return scan;
}
