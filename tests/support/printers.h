// How GoogleTest prints the core's outcomes, so that a failure names the
// refusal instead of showing bytes.
#pragma once

#include "image/open_image.h"
#include "image/outcome.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <ostream>
#include <string_view>

namespace vardane {

inline void PrintTo(Refusal refusal, std::ostream* out)
{
    // clang-format off
    constexpr std::array<std::string_view, 24> kNames{
        "absent", "notRegular", "denied", "readError", "notWritable", "noSpace", "locked", "lockedByReader", "replaced",
        "notAnImage", "tooShort", "changed", "damaged", "noClockKey", "clockOutOfRange", "sbaUndecided", "noSbaByte", "noHeader",
        "noHeaderField", "emptyHeaderField", "textTooLong", "unrepresentable", "controlCharacter", "lengthChanged"};
    // clang-format on
    static_assert(kNames.size() == static_cast<std::size_t>(Refusal::lengthChanged) + 1, "a refusal without a name");
    *out << "Refusal::" << kNames.at(static_cast<std::size_t>(refusal));
}

// What an outcome refused, if anything: tl::expected 1.0 cannot compare
// expected<void> values, so tests compare this.
template <typename T>
[[nodiscard]] std::optional<Refusal> refusalOf(const Outcome<T>& outcome)
{
    return outcome ? std::nullopt : std::optional<Refusal>(outcome.error());
}

}  // namespace vardane

namespace tl {

template <typename T>
void PrintTo(const expected<T, vardane::Refusal>& outcome, std::ostream* out)
{
    if (!outcome) {
        vardane::PrintTo(outcome.error(), out);
    } else if constexpr (std::is_void_v<T>) {
        *out << "done";
    } else {
        *out << testing::PrintToString(*outcome);
    }
}

}  // namespace tl
