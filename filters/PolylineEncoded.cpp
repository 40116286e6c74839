#include "filters/Interpreter.h"

#include <algorithm>
#include <cmath>

namespace hpgl {

namespace {

// Reads one self-terminating number of PE: digits least significant first, the last one taken from
// the upper range. Bytes that are neither digits nor the end of the instruction are passed over.
// False when the instruction or the file ends first.
bool readEncoded(Scanner& in, bool sevenBit, double& value)
{
    uint64_t magnitude = 0;
    int shift = 0;
    const int bits = sevenBit ? 5 : 6;
    while (!in.atEnd()) {
        int c = in.peek();
        if (c == ';' || c == 0x1B)
            return false;
        in.take();
        if (sevenBit)
            c &= 0x7F;
        int digit = -1;
        bool last = false;
        if (sevenBit) {
            if (c >= 63 && c <= 94)
                digit = c - 63;
            else if (c >= 95 && c <= 126) {
                digit = c - 95;
                last = true;
            }
        } else {
            if (c >= 63 && c <= 126)
                digit = c - 63;
            else if (c >= 191 && c <= 254) {
                digit = c - 191;
                last = true;
            }
        }
        if (digit < 0)
            continue;
        if (shift < 60) // digits past 60 bits would overflow; the value is clamped below anyway
            magnitude |= static_cast<uint64_t>(digit) << shift;
        shift += bits;
        if (last) {
            // The lowest bit carries the sign.
            double half = static_cast<double>(magnitude >> 1);
            value = (magnitude & 1) ? -half : half;
            return true;
        }
    }
    return false;
}

} // namespace

// PE: flags and encoded numbers with no separators, up to ';'. Coordinates are relative unless the
// '=' flag comes before them, drawn unless the '<' flag does; ':' selects a pen, '>' sets the number
// of fractional bits, '7' switches to the 7-bit alphabet.
void Interpreter::polylineEncoded()
{
    bool sevenBit = false;
    bool nextAbsolute = false;
    bool nextPenUp = false;
    int fractionBits = 0;
    while (!scanner_.atEnd()) {
        int c = scanner_.peek();
        if (c == ';') {
            scanner_.take();
            return;
        }
        if (c == 0x1B)
            return;
        int flag = c & 0x7F;
        bool isDigit =
            sevenBit ? (flag >= 63 && flag <= 126) : ((c >= 63 && c <= 126) || (c >= 191 && c <= 254));
        if (!isDigit) {
            scanner_.take();
            double value;
            switch (flag) {
            case ':':
                if (!readEncoded(scanner_, sevenBit, value))
                    return;
                if (value >= 0)
                    pen_.selectPen(static_cast<int32_t>(std::min(value, kPlotterRange)));
                break;
            case '>':
                if (!readEncoded(scanner_, sevenBit, value))
                    return;
                fractionBits = static_cast<int>(std::clamp(value, -26.0, 26.0));
                break;
            case '<':
                nextPenUp = true;
                break;
            case '=':
                nextAbsolute = true;
                break;
            case '7':
                sevenBit = true;
                break;
            default:
                break; // spaces and other bytes between values carry nothing
            }
            continue;
        }
        double x, y;
        if (!readEncoded(scanner_, sevenBit, x) || !readEncoded(scanner_, sevenBit, y))
            return;
        Point value{std::ldexp(x, -fractionBits), std::ldexp(y, -fractionBits)};
        Point target = nextAbsolute ? scaling_.toPlotter(value) : afterRelativeMove(value);
        // The pen stays as the last coordinate left it.
        penDown_ = !nextPenUp;
        travelTo(target);
        nextAbsolute = false;
        nextPenUp = false;
    }
}

} // namespace hpgl
