#include "confirm/held_keys.h"

void HeldKeys::Hold(unsigned key) {
    if (key < m_held.size()) m_held.set(key);
}

bool HeldKeys::IsHeld(unsigned key) const { return key < m_held.size() && m_held.test(key); }

bool HeldKeys::Drops(unsigned key, KeyTransition transition, bool madeBeforeQuestion, bool taken) {
    if (key >= m_held.size()) return false;
    if (m_held.test(key)) {
        if (taken && transition == KeyTransition::Up) m_held.reset(key);
        return true;
    }
    if (!madeBeforeQuestion) return false;
    if (taken && transition == KeyTransition::Down) m_held.set(key);
    return true;
}
