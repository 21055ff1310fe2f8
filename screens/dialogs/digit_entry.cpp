#include "screens/dialogs/digit_entry.h"

void CDigitEntry::Tick(float seconds)
{
    if (m_sinceKey >= kPauseSeconds)
        return;
    m_sinceKey += seconds;
    if (m_sinceKey >= kPauseSeconds)
        m_place = 0;
}

uint32_t CDigitEntry::TakePlace()
{
    const uint32_t place = m_place;
    m_place = place + 1 >= m_digits ? 0 : place + 1;
    return place;
}
