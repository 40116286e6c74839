#pragma once

#include "plotdata/DrawingSurface.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The colours of the pens in the preview: a table indexed by pen number, and the list of named palettes
// of a profile file.
class CPenPalette {
public:
    // Room of the name list: 250 names of at most 39 characters.
    static constexpr int nameSize = 40;
    static constexpr int maxNames = 250;
    static constexpr int defaultColourCount = 39;

    // The default colours, and no named palettes: no profile file is set.
    CPenPalette();

    // The file whose [PALETTE] section lists the named palettes; empty for none.
    void setProfilePath(const std::string& path) { profilePath_ = path; }
    const std::string& profilePath() const { return profilePath_; }
    // Reads the names of the palettes listed as PAL0, PAL1, ... in [PALETTE], up to the first missing
    // key and at most maxNames; each name is the PalName of the section the key names. Without a profile
    // file the list is empty. The colours are not touched.
    void loadNames();
    // The default table of 39 colours; `index` becomes the current palette.
    void setDefaultColours(int index);

    int colourCount() const { return int(colours_.size()); }
    int paletteCount() const { return int(names_.size()); }
    int current() const { return current_; }
    // Empty for an index outside the list.
    std::string paletteName(int index) const;

    // The colour of entry `index` as 0x00BBGGRR; black for an index outside the table.
    uint32_t colour(int index) const;
    // A pen in the colour of entry `index`, which is read as a 16-bit unsigned number, so only the low
    // 16 bits of a pen number count. None when the entry is beyond the table.
    std::optional<CPen> createPen(int index, int style, int width) const;

private:
    // Entries as 0x00RRGGBB: red in bits 16 to 23.
    std::vector<uint32_t> colours_;
    std::vector<std::array<char, nameSize>> names_;
    int current_ = 0;
    std::string profilePath_;
};

// The palette of the program, built on first use.
CPenPalette& penPalette();
