#include "editing/celleditrules.h"

#include <algorithm>

namespace flr {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSeparator(char c) { return c == '.' || c == ','; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The text as it stands once the selection has been replaced.
std::string WithoutSelection(const CellEditState& s)
{
    std::string text = s.text;
    if (!s.HasSelection()) return text;
    const auto size = static_cast<int>(text.size());
    const int start = std::clamp(s.selStart, 0, size);
    const int end = std::clamp(s.selStart + s.selLength, start, size);
    text.erase(static_cast<size_t>(start), static_cast<size_t>(end - start));
    return text;
}

bool IsColonIndex(size_t i) { return i == 2 || i == 5 || i == 8; }

}  // namespace

KeyVerdict DelayKey(const CellEditState& s, char key)
{
    if (key == kBackspaceKey) return s.text.empty() ? KeyVerdict::Refuse : KeyVerdict::Accept;
    const size_t sep = s.text.find_first_of(".,");
    const bool hasSep = sep != std::string::npos;
    if (IsSeparator(key)) {
        if (!hasSep || s.WholeSelected()) return KeyVerdict::Accept;
        const auto at = static_cast<int>(sep);
        const bool covered = s.HasSelection() && s.selStart <= at && at < s.selStart + s.selLength;
        return covered ? KeyVerdict::Accept : KeyVerdict::Refuse;
    }
    if (IsDigit(key)) {
        const bool twoDecimals = hasSep && s.text.size() - sep - 1 >= 2;
        if (!s.HasSelection() && twoDecimals && s.caret > static_cast<int>(sep)) {
            return KeyVerdict::Refuse;
        }
        return KeyVerdict::Accept;
    }
    return KeyVerdict::Refuse;
}

std::optional<std::string> NormaliseDelay(std::string text)
{
    if (text.empty()) return std::nullopt;
    if (IsSeparator(text.front())) {
        text = text.size() == 1 ? std::string("0.00") : "0" + text;
    }
    if (IsSeparator(text.back())) {
        text += "00";
    } else {
        if (text.size() > 2 && IsSeparator(text[text.size() - 2])) text += "0";
        if (text.find_first_of(".,") == std::string::npos) text += ".00";
    }
    while (text.size() > 1 && text[0] == '0' && !IsSeparator(text[1])) text.erase(0, 1);
    // Keys cannot make anything else, but a pasted text can: it is not a delay.
    const auto separators = std::count_if(text.begin(), text.end(), IsSeparator);
    const auto digits = std::count_if(text.begin(), text.end(), IsDigit);
    if (separators != 1 || digits + 1 != static_cast<long>(text.size())) return std::nullopt;
    return text;
}

TimeKeyResult TimeKey(const CellEditState& s, char key, int fps)
{
    TimeKeyResult r;
    if (key == kBackspaceKey) {
        if (s.text.empty() || s.WholeSelected()) return r;
        r.verdict = KeyVerdict::Accept;
        r.doubleBackspace = !s.HasSelection() && (s.caret == 3 || s.caret == 6 || s.caret == 9);
        return r;
    }
    if (s.WholeSelected()) {
        r.verdict = IsDigit(key) ? KeyVerdict::Accept : KeyVerdict::Refuse;
        return r;
    }
    const int pos = s.Position();
    if (pos > 10) {
        r.verdict = KeyVerdict::Ignore;
        return r;
    }
    if (IsColonIndex(static_cast<size_t>(pos))) {
        r.verdict = key == ':' ? KeyVerdict::Accept : KeyVerdict::Refuse;
        return r;
    }
    if (!IsDigit(key)) return r;
    char highest = '9';
    if (pos == 3 || pos == 6) highest = '5';
    if (pos == 9) highest = '2';
    if (pos == 10 && s.text.size() > 9 && IsDigit(s.text[9])) {
        // The last frame of a second is fps - 1: 24 at 25 fps, 29 at 30.
        const int lastFrame = (fps >= 1 && fps <= 255 ? fps : 25) - 1;
        const int tens = (s.text[9] - '0') * 10;
        if (tens + 9 > lastFrame) highest = static_cast<char>('0' + std::max(-1, lastFrame - tens));
    }
    if (key > highest) return r;
    r.verdict = KeyVerdict::Accept;
    if (pos == 1 || pos == 4 || pos == 7) {
        const std::string after = WithoutSelection(s);
        r.insertColon = !(static_cast<size_t>(pos) < after.size() && after[pos] == ':');
    }
    return r;
}

std::optional<std::string> CompleteTimeCode(const std::string& text)
{
    const size_t n = text.size();
    if (n == 0 || n > 11) return std::nullopt;
    for (size_t i : {2u, 5u, 8u}) {
        if (n >= 3 && i < n && text[i] != ':') return std::nullopt;
    }
    std::string out = text;
    for (size_t k = 11 - n; k >= 1; --k) out += k % 3 == 0 ? ':' : '0';
    for (size_t i = 0; i < out.size(); ++i) {
        if (IsColonIndex(i) ? out[i] != ':' : !IsDigit(out[i])) return std::nullopt;
    }
    return out;
}

KeyVerdict AddressKey(const CellEditState& s, char key)
{
    if (key == kBackspaceKey) return s.text.empty() ? KeyVerdict::Refuse : KeyVerdict::Accept;
    if (IsLetter(key)) {
        return s.text.empty() || s.Position() == 0 ? KeyVerdict::Accept : KeyVerdict::Refuse;
    }
    if (key == ' ') {
        return s.text.size() == 1 && !s.WholeSelected() ? KeyVerdict::Accept : KeyVerdict::Refuse;
    }
    if (!IsDigit(key)) return KeyVerdict::Refuse;
    if (s.text.empty() || s.WholeSelected()) return KeyVerdict::Refuse;
    const std::string base = WithoutSelection(s);
    if (base.size() == 1) return KeyVerdict::Accept;
    if (base.size() != 2) return base.empty() ? KeyVerdict::Refuse : KeyVerdict::Ignore;
    switch (base[1]) {
    case ' ':
    case '0': return key != '0' ? KeyVerdict::Accept : KeyVerdict::Refuse;
    case '1':
    case '2': return KeyVerdict::Accept;
    case '3': return key <= '2' ? KeyVerdict::Accept : KeyVerdict::Refuse;
    default: return KeyVerdict::Refuse;
    }
}

std::optional<std::string> AddressToSend(const std::string& text)
{
    if ((text.size() == 2 || text.size() == 3) && IsLetter(text[0])) return text;
    return std::nullopt;
}

KeyVerdict DigitKey(const CellEditState& s, char key)
{
    if (key == kBackspaceKey) return s.text.empty() ? KeyVerdict::Refuse : KeyVerdict::Accept;
    return IsDigit(key) ? KeyVerdict::Accept : KeyVerdict::Refuse;
}

}  // namespace flr
