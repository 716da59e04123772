#include "composition/NaturalOrder.h"

#include <algorithm>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The run of digits that starts at `at`, without its leading zeros; `at` moves past the run.
std::string_view TakeNumber(std::string_view text, std::size_t& at) {
    const std::size_t start = at;
    while (at < text.size() && IsDigit(text[at])) {
        ++at;
    }
    std::string_view run = text.substr(start, at - start);
    const std::size_t firstSignificant = run.find_first_not_of('0');
    return firstSignificant == std::string_view::npos ? std::string_view()
                                                      : run.substr(firstSignificant);
}

// Below 0 when `a` comes first by value, above 0 when `b` does, 0 when they are equal.
int CompareNaturally(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const std::string_view x = TakeNumber(a, i);
            const std::string_view y = TakeNumber(b, j);
            // Without leading zeros the longer number is the larger.
            if (x.size() != y.size()) {
                return x.size() < y.size() ? -1 : 1;
            }
            if (const int order = x.compare(y); order != 0) {
                return order;
            }
            continue;
        }
        // A digit run against any other byte compares as its first digit, so every number
        // sits between '/' and ':' and the order stays transitive.
        const auto x = static_cast<unsigned char>(a[i++]);
        const auto y = static_cast<unsigned char>(b[j++]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return (i < a.size()) - (j < b.size());
}

}  // namespace

bool IsNaturallyBefore(std::string_view a, std::string_view b) {
    const int order = CompareNaturally(a, b);
    return order != 0 ? order < 0 : a < b;
}
