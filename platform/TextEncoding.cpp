#include "platform/TextEncoding.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iconv.h>

namespace platform {

bool isValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        // Plain ASCII, the bulk of every settings file, is checked eight bytes at a time.
        if (n - i >= 8) {
            std::uint64_t eight;
            std::memcpy(&eight, bytes.data() + i, 8);
            if ((eight & 0x8080808080808080ull) == 0) {
                i += 8;
                continue;
            }
        }
        const auto lead = static_cast<unsigned char>(bytes[i]);
        size_t length = 0;
        char32_t minimum = 0;
        char32_t value = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if ((lead & 0xE0) == 0xC0) {
            length = 2, minimum = 0x80, value = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3, minimum = 0x800, value = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4, minimum = 0x10000, value = lead & 0x07;
        } else {
            return false;
        }
        if (n - i < length)
            return false;
        for (size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            value = (value << 6) | (next & 0x3F);
        }
        // Overlong forms, UTF-16 surrogates and values beyond Unicode are not UTF-8.
        if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

std::optional<std::string> gb18030ToUtf8(std::string_view bytes)
{
    iconv_t converter = iconv_open("UTF-8", "GB18030");
    // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv's failure value
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;

    std::string out;
    // Every GB18030 character of up to four bytes becomes at most four UTF-8 bytes.
    out.resize(bytes.size() * 2 + 16);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* outPtr = out.data();
    size_t outLeft = out.size();
    bool ok = true;
    while (inLeft > 0) {
        if (iconv(converter, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1))
            continue;
        if (errno != E2BIG) {
            ok = false;
            break;
        }
        const size_t written = out.size() - outLeft;
        out.resize(out.size() * 2);
        outPtr = out.data() + written;
        outLeft = out.size() - written;
    }
    iconv_close(converter);
    if (!ok)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace platform
