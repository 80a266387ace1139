#include "editors/sideband.h"

#include "image/image_file.h"
#include "image/image_state.h"
#include "image/layout.h"

#include <array>

namespace vardane {

Expected<SbaToggled, SbaError> toggleSideBand(const std::filesystem::path& path, std::string_view sbaState,
                                              std::optional<std::int64_t> sbaOffset)
{
    const bool enabled = sbaState == kSbaOn;
    if (!enabled && sbaState != kSbaOff) {
        return Unexpected{SbaError::undecided};
    }
    if (!sbaOffset) {
        return Unexpected{SbaError::noOffset};
    }
    const std::uint8_t before = enabled ? layout::kSbaEnabled : layout::kSbaDisabled;
    const std::uint8_t after = enabled ? layout::kSbaDisabled : layout::kSbaEnabled;
    const std::array<std::uint8_t, 1> replacement{after};
    const auto written = ImageFile::write(path, *sbaOffset, replacement, Expectation{*sbaOffset, {before}});
    if (!written) {
        switch (written.error()) {
            case IoError::contentChanged:
                return Unexpected{SbaError::changed};
            case IoError::damaged:
                return Unexpected{SbaError::damaged};
            default:
                return Unexpected{SbaError::unreachable};
        }
    }
    return SbaToggled{enabled ? kSbaOff : kSbaOn, enabled ? kSbaDisabledMessage : kSbaEnabledMessage};
}

}  // namespace vardane
