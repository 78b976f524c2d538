#include "core/imaging/framechooser.h"

namespace ambrel::imaging {

void FrameChooser::setHighest(int highest) {
    m_highest = highest < 0 ? 0 : highest;
    if (m_number > m_highest || m_number < 0) {
        m_number = 0;
    }
    changed();
}

void FrameChooser::setNumber(int number) {
    m_number = number;
    changed();
}

void FrameChooser::up() {
    ++m_number;
    if (m_number > m_highest) {
        m_number = 0;
    }
    changed();
}

void FrameChooser::down() {
    --m_number;
    if (m_number < 0) {
        m_number = m_highest;
    }
    changed();
}

int FrameChooser::chosenFrame() const {
    return m_number >= 0 && m_number <= m_highest ? m_number : 0;
}

}  // namespace ambrel::imaging
