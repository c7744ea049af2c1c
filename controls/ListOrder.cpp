#include "controls/ListOrder.h"

#include <cwctype>

namespace vrz {

namespace {

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Compares the digit runs starting at a[i] and b[j] by value and moves both
// indexes past them. Leading zeros do not count, so "007" equals "7".
int CompareDigitRuns(const std::wstring& a, std::size_t& i, const std::wstring& b, std::size_t& j) {
    while (i < a.size() && a[i] == L'0' && i + 1 < a.size() && IsDigit(a[i + 1])) ++i;
    while (j < b.size() && b[j] == L'0' && j + 1 < b.size() && IsDigit(b[j + 1])) ++j;
    std::size_t endA = i;
    std::size_t endB = j;
    while (endA < a.size() && IsDigit(a[endA])) ++endA;
    while (endB < b.size() && IsDigit(b[endB])) ++endB;
    const std::size_t lengthA = endA - i;
    const std::size_t lengthB = endB - j;
    int result = 0;
    if (lengthA != lengthB) {
        result = lengthA < lengthB ? -1 : 1;
    } else {
        for (std::size_t k = 0; k < lengthA && result == 0; ++k) {
            if (a[i + k] != b[j + k]) result = a[i + k] < b[j + k] ? -1 : 1;
        }
    }
    i = endA;
    j = endB;
    return result;
}

// Lower case that does not depend on the process locale for Latin letters.
wint_t FoldCase(wchar_t c) {
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<wint_t>(c + 0x20);
    return std::towlower(static_cast<wint_t>(c));
}

}  // namespace

int CompareNatural(const std::wstring& a, const std::wstring& b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const int runs = CompareDigitRuns(a, i, b, j);
            if (runs != 0) return runs;
            continue;
        }
        const wint_t ca = FoldCase(a[i]);
        const wint_t cb = FoldCase(b[j]);
        if (ca != cb) return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    // Equal but for case or leading zeros: fall back to the exact text so
    // that the order is total.
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

int CompareNumeric(const std::wstring& a, const std::wstring& b) {
    const auto isNumber = [](const std::wstring& text) {
        if (text.empty()) return false;
        for (wchar_t c : text) {
            if (!IsDigit(c)) return false;
        }
        return true;
    };
    const bool numberA = isNumber(a);
    const bool numberB = isNumber(b);
    if (!numberA || !numberB) {
        if (numberA != numberB) return numberA ? 1 : -1;
        return 0;
    }
    std::size_t i = 0;
    std::size_t j = 0;
    return CompareDigitRuns(a, i, b, j);
}

}  // namespace vrz
