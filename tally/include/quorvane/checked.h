// 32-bit signed counting that raises CounterOverflow instead of wrapping.
#pragma once

#include <cstdint>
#include <string_view>

#include "quorvane/errors.h"

namespace quorvane {

[[noreturn]] inline void RaiseOverflow(std::string_view counter) {
    throw CounterOverflow(std::string(counter));
}

inline void CheckedIncrement(std::int32_t& counter, std::string_view name) {
    if (counter == INT32_MAX) RaiseOverflow(name);
    ++counter;
}

// As CheckedIncrement, with the name made only when it is needed: for counting every record.
template <typename Name>
[[gnu::always_inline]] inline void CheckedIncrementNamed(std::int32_t& counter, Name name) {
    if (counter == INT32_MAX) [[unlikely]]
        RaiseOverflow(name());
    ++counter;
}

inline std::int32_t CheckedAdd(std::int32_t a, std::int32_t b, std::string_view name) {
    std::int32_t sum;
    if (__builtin_add_overflow(a, b, &sum)) RaiseOverflow(name);
    return sum;
}

}  // namespace quorvane
