#include "image/gpu_table.h"

#include <array>

namespace vardane {
namespace {

struct GpuRow {
    std::string_view key;
    std::string_view name;
};

constexpr std::array<GpuRow, 16> kGpuTable{{
    {"1000", "GeForce256 SDR"},
    {"1001", "GeForce256 DDR"},
    {"1002", "GeForce Confidential"},
    {"1003", "Quadro"},
    {"1010", "GeForce2 MX"},
    {"1011", "nVidia Crush"},
    {"1012", "GeForce2 MX-200 / MX-400"},
    {"1013", "Quadro2 MXR"},
    {"1050", "GeForce2 GTS / Pro"},
    {"1051", "GeForce2 GTS"},
    {"1052", "GeForce2 Ultra"},
    {"1053", "Quadro2"},
    {"2000", "GeForce3"},
    {"2001", "GeForce3 MX-500"},
    {"2002", "GeForce3 Ultra"},
    {"2003", "Quadro3"},
}};

void appendHex(std::string& out, std::uint8_t byte)
{
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
}

}  // namespace

std::string makeChipKey(const std::optional<ChipBytes>& chipBytes)
{
    std::string key;
    if (chipBytes) {
        appendHex(key, (*chipBytes)[0]);
        appendHex(key, (*chipBytes)[1]);
    }
    return key;
}

std::string_view gpuNameForChipKey(std::string_view chipKey)
{
    for (const GpuRow& row : kGpuTable) {
        if (row.key == chipKey) {
            return row.name;
        }
    }
    return {};
}

}  // namespace vardane
