#pragma once

#include <cstdint>

// The one way the value parsers read a number out of text: optional blanks, an optional '+', then
// decimal digits. A leading 0 is just a digit (never octal), a '-' is never read as a negative
// number, and a number too large for the caller's field is refused rather than wrapped.
enum class EDecimalScan
{
    kNone,      // no digits at this position
    kOk,        // value holds the number, end points past its last digit
    kNegative,  // a '-' stands where the number should start
    kOverflow,  // more than the allowed maximum
};

struct SDecimal
{
    EDecimalScan result = EDecimalScan::kNone;
    uint64_t value = 0;
    int digits = 0;                 // how many digits were read
    const char* end = nullptr;      // past the last digit (kOk), else the start position
    const char* firstDigit = nullptr;
};

SDecimal ScanDecimal(const char* text, uint64_t max);
