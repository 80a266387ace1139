#include "editors/sideband.h"

#include "image/image_file.h"
#include "image/layout.h"

#include <array>

namespace vardane {

Outcome<SideBand> toggleSideBand(const KnownFile& file, SideBand state, std::optional<std::int64_t> sbaOffset)
{
    if (state == SideBand::undecided) {
        return refused(Refusal::sbaUndecided);
    }
    if (!sbaOffset) {
        return refused(Refusal::noSbaByte);
    }
    const bool enabled = state == SideBand::on;
    const std::uint8_t before = enabled ? layout::kSbaEnabled : layout::kSbaDisabled;
    const std::array<std::uint8_t, 1> after{enabled ? layout::kSbaDisabled : layout::kSbaEnabled};
    return ImageFile::write(file, *sbaOffset, after, {{{*sbaOffset, {before}}}, {}}).map([enabled] {
        return enabled ? SideBand::off : SideBand::on;
    });
}

}  // namespace vardane
