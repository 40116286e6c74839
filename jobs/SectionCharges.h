#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The media of a band's sections, charged once the device has taken bytes of them. A port writes in
// blocks, so the sections handed to it last may still wait in its buffer; should the output then fail
// for good (a full disk, a device that hung up), those never reached the device and used no media.
class SectionCharges {
public:
    void clear() { sections_.clear(); }
    // A section begins at this byte of the copy's output (the bytes handed to the port before it), and
    // with it the band has used the media up to consumed.
    void sectionBegins(std::size_t firstByte, std::int32_t consumed)
    {
        sections_.push_back({firstByte, consumed});
    }
    // The media the band has used once the device has taken this many bytes of the copy: that of the last
    // section whose first byte it took, or fallback when it has taken none of any.
    std::int32_t reached(std::size_t bytesTaken, std::int32_t fallback) const
    {
        std::int32_t media = fallback;
        for (const Section& section : sections_) {
            if (section.firstByte >= bytesTaken)
                break;
            media = section.consumed;
        }
        return media;
    }

private:
    struct Section {
        std::size_t firstByte;
        std::int32_t consumed;
    };
    std::vector<Section> sections_;
};
