#pragma once

#include <cstdint>

// Digits typed one after another into a number, as the address and universe dialogs take them: a
// second without a key, or the last digit the number may have, ends the entry, and the next digit
// starts a new one. The dialog tells it of every key and every tick.
class CDigitEntry
{
public:
    static constexpr float kPauseSeconds = 1.0f;

    // An entry of at most this many digits.
    explicit CDigitEntry(uint32_t digits) : m_digits(digits) {}

    // Every key starts the pause again.
    void OnKey() { m_sinceKey = 0.0f; }
    void Tick(float seconds);
    // Which digit of the entry a digit typed now is, 0 for the first of a new number; the entry
    // moves past it.
    uint32_t TakePlace();
    void SetPlace(uint32_t place) { m_place = place; }
    // The number with a digit typed: the digit alone when it starts a new number, else appended.
    uint32_t Type(uint32_t number, uint32_t digit) { return TakePlace() == 0 ? digit : number * 10 + digit; }

private:
    uint32_t m_digits;
    uint32_t m_place = 0;
    float m_sinceKey = 0.0f;
};
