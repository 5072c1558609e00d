#pragma once
// The keys and mouse buttons that were already down when a question appeared. Such a key answers
// nothing until it has been released: a remote's OK held a moment too long, or a key pressed
// while the program was busy, must not answer a question nobody has seen. Its repeats do not
// count either, with or without the repeat bit (a driver that injects them sets none): only its
// own release makes its next press a fresh one. Portable: keys are virtual-key codes, mouse
// buttons included; codes of 256 and above are never held.
#include <bitset>

enum class KeyTransition { Down, Up };

class HeldKeys {
public:
    // The key is down now, and was before the question showed.
    void Hold(unsigned key);
    bool IsHeld(unsigned key) const;
    bool AnyHeld() const { return m_held.any(); }

    // Whether a message of the key is to be dropped: every message of a held key, and any made
    // before the question showed (a press then holds the key). A held key's release frees it.
    // `taken` is false when the message is only looked at and stays queued: nothing changes then.
    bool Drops(unsigned key, KeyTransition transition, bool madeBeforeQuestion, bool taken);

private:
    std::bitset<256> m_held;
};
