#pragma once

#include <optional>
#include <string>

namespace flr {

// The key rules of the in-place cell editors, without widgets. Each editor hands in its text,
// selection and caret before a key is applied and gets back whether the key goes through.
// Texts are bytes; a key outside ASCII arrives as kOtherKey.

inline constexpr char kBackspaceKey = '\b';
inline constexpr char kOtherKey = '\x01';

struct CellEditState {
    std::string text;
    int selStart = 0;   // start of the selection, or the caret when nothing is selected
    int selLength = 0;  // 0: nothing selected
    int caret = 0;

    bool HasSelection() const { return selLength > 0; }
    bool WholeSelected() const
    {
        return !text.empty() && selStart == 0 && selLength >= static_cast<int>(text.size());
    }
    // Where a typed character would go.
    int Position() const { return HasSelection() ? selStart : caret; }
};

enum class KeyVerdict {
    Accept,
    Refuse,  // the default beep, key dropped
    Ignore,  // dropped silently
};

// Text limits of the editors; 0 for none.
inline constexpr int kDelayEditLimit = 8;
inline constexpr int kTimeEditLimit = 11;
inline constexpr int kAddressEditLimit = 3;
inline constexpr int kDigitEditLimit = 5;

// ---- Delay editor: digits, "." or ",", Backspace; at most two decimals, one separator.
KeyVerdict DelayKey(const CellEditState& state, char key);
// The text to send, or nothing (the edit is cancelled) for an empty text.
std::optional<std::string> NormaliseDelay(std::string text);

// ---- Time editor: "HH:MM:SS:FF" typed by position.
struct TimeKeyResult {
    KeyVerdict verdict = KeyVerdict::Refuse;
    bool insertColon = false;      // after the digit, ":" follows by itself
    bool doubleBackspace = false;  // the colon goes with the digit before it
};
TimeKeyResult TimeKey(const CellEditState& state, char key, int fps);
// Pads a partly typed time code to 11 characters; nothing when the text is empty or is not a
// time code (the edit is cancelled).
std::optional<std::string> CompleteTimeCode(const std::string& text);

// ---- Address editor: a bank letter, an optional space, a number 1 to 32.
// Letters are checked as typed; the editor puts them in upper case.
KeyVerdict AddressKey(const CellEditState& state, char key);
// The text to send: 2 or 3 characters beginning with a letter; otherwise nothing.
std::optional<std::string> AddressToSend(const std::string& text);

// ---- Digit editor: digits and Backspace.
KeyVerdict DigitKey(const CellEditState& state, char key);

// Backspace in an empty editor beeps, in every editor.
inline bool BackspaceOnEmpty(const CellEditState& state, char key)
{
    return key == kBackspaceKey && state.text.empty();
}

}  // namespace flr
