#include "plotdata/CPenPalette.h"

#include "platform/CProfile.h"

#include <cstdio>

namespace {

// 0x00RRGGBB, indexed by pen number.
constexpr std::array<uint32_t, CPenPalette::defaultColourCount> defaultColours = {
    0x000000, 0x000080, 0x008080, 0x008000, 0x800000, 0x800080, 0x808000, 0xC0C0C0, 0x808080, 0x0000FF,
    0x00FFFF, 0x00FF00, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF, 0xA2FFFF, 0x00C6C6, 0xAED7FF, 0x0080FF,
    0x6400C8, 0xFF0080, 0xFF53A9, 0xB00058, 0xFF99FF, 0xFF8080, 0xFF4D4D, 0xD00000, 0xFF8040, 0x3737FF,
    0xFFFFAC, 0xE3E300, 0xC993FF, 0x800080, 0xB300B3, 0x9FFF9F, 0x005300, 0x000080, 0xFE4E12,
};

// 0x00RRGGBB to 0x00BBGGRR.
uint32_t swapRedBlue(uint32_t rgb) { return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16); }

} // namespace

CPenPalette::CPenPalette()
{
    loadNames();
    setDefaultColours(0);
}

void CPenPalette::loadNames()
{
    names_.clear();
    if (profilePath_.empty())
        return;
    CProfile profile;
    profile.setPath(profilePath_.c_str());
    for (int i = 0; i < maxNames; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "PAL%d", i);
        char section[nameSize];
        if (profile.getString("PALETTE", key, section, nameSize, "") == 0)
            break;
        std::array<char, nameSize> name{};
        profile.getString(section, "PalName", name.data(), nameSize, "");
        names_.push_back(name);
    }
}

void CPenPalette::setDefaultColours(int index)
{
    colours_.assign(defaultColours.begin(), defaultColours.end());
    current_ = index;
}

std::string CPenPalette::paletteName(int index) const
{
    if (index < 0 || index >= paletteCount())
        return {};
    return names_[size_t(index)].data();
}

uint32_t CPenPalette::colour(int index) const
{
    if (index < 0 || index >= colourCount())
        return 0;
    return swapRedBlue(colours_[size_t(index)]);
}

std::optional<CPen> CPenPalette::createPen(int index, int style, int width) const
{
    const int entry = uint16_t(index);
    if (entry >= colourCount())
        return std::nullopt;
    return CPen{style, width, colour(entry)};
}

CPenPalette& penPalette()
{
    static CPenPalette palette;
    return palette;
}
