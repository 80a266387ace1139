#include "editors/sideband.h"

#include "image/image_file.h"
#include "image/image_state.h"
#include "image/layout.h"

#include <array>

namespace vardane {

Outcome<SbaToggled> toggleSideBand(const std::filesystem::path& path, std::string_view sbaState,
                                   std::optional<std::int64_t> sbaOffset)
{
    const bool enabled = sbaState == kSbaOn;
    if (!enabled && sbaState != kSbaOff) {
        return refused(Refusal::sbaUndecided);
    }
    if (!sbaOffset) {
        return refused(Refusal::noSbaByte);
    }
    const std::uint8_t before = enabled ? layout::kSbaEnabled : layout::kSbaDisabled;
    const std::array<std::uint8_t, 1> after{enabled ? layout::kSbaDisabled : layout::kSbaEnabled};
    return ImageFile::write(path, *sbaOffset, after, Expectation{*sbaOffset, {before}, {}}).map([enabled] {
        return SbaToggled{std::string(enabled ? kSbaOff : kSbaOn),
                          enabled ? kSbaDisabledMessage : kSbaEnabledMessage};
    });
}

}  // namespace vardane
