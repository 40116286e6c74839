#include "filters/CharacterSets.h"
#include "filters/Interpreter.h"
#include "filters/StrokeFont.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace hpgl {

namespace {

constexpr double kUnitsPerCentimetre = 400;
constexpr unsigned char kBackspace = 0x08;
constexpr unsigned char kLineFeed = 0x0A;
constexpr unsigned char kCarriageReturn = 0x0D;

// The font's character width and cap height in plotter units: from its pitch when it is a fixed-
// pitch font, from its height when it is a proportional one, else the stick font's own 0.19 by
// 0.27 cm. A character cell is 1.5 widths, so a pitch of p characters per inch gives a width of
// 1 / (1.5 p) inch; a height of 11.5 points gives the cap height of 0.27 cm. Either way the shape of
// the characters stays that of 0.19 by 0.27.
void fontSize(const FontDefinition& font, double& width, double& height)
{
    constexpr double kWidth = 0.19, kHeight = 0.27, kPoints = 11.5;
    constexpr double kCentimetresPerInch = 2.54, kLargest = 32767;
    width = kWidth * kUnitsPerCentimetre;
    height = kHeight * kUnitsPerCentimetre;
    if (!font.proportional && font.pitch > 0 && font.pitch <= kLargest) {
        width = kCentimetresPerInch / (1.5 * font.pitch) * kUnitsPerCentimetre;
        height = width * kHeight / kWidth;
    } else if (font.proportional && font.points > 0 && font.points <= kLargest) {
        height = kHeight * font.points / kPoints * kUnitsPerCentimetre;
        width = height * kWidth / kHeight;
    }
}

} // namespace

// A character cell is 1.5 character widths along the label direction and a line 2 cap heights,
// square to it, each widened by the extra space ES asks for. A text path down or up (DV) steps from
// character to character by the line height and from line to line by the cell width.
LabelCell Interpreter::labelCell() const
{
    LabelCell cell;
    Point span{scaling_.p2().x - scaling_.p1().x, scaling_.p2().y - scaling_.p1().y};
    if (label_.relativeSize) {
        cell.width = std::fabs(span.x) * label_.width / 100;
        cell.height = std::fabs(span.y) * label_.height / 100;
    } else if (label_.sizeGiven) {
        cell.width = label_.width * kUnitsPerCentimetre;
        cell.height = label_.height * kUnitsPerCentimetre;
    } else {
        fontSize(label_.alternateChosen ? label_.alternate : label_.standard, cell.width, cell.height);
    }
    Point axis{label_.run, label_.rise};
    if (label_.relativeDirection)
        axis = {label_.run * span.x / 100, label_.rise * span.y / 100};
    double length = std::hypot(axis.x, axis.y);
    axis = length > 0 && std::isfinite(length) ? Point{axis.x / length, axis.y / length} : Point{1, 0};
    const Point up{-axis.y, axis.x};
    const Point paths[4] = {axis, {-up.x, -up.y}, {-axis.x, -axis.y}, up};
    const Point path = paths[label_.path];
    const bool vertical = label_.path % 2 == 1;
    double step = (vertical ? 2 * cell.height : 1.5 * cell.width) * (1 + label_.extraSpace);
    double line = (vertical ? 1.5 * cell.width : 2 * cell.height) * (1 + label_.extraLines);
    // A line feed turns a quarter clockwise from the text path, or anticlockwise when reversed.
    const Point feed = label_.reverseLineFeed ? Point{-path.y, path.x} : Point{path.y, -path.x};
    cell.axis = axis;
    cell.up = up;
    cell.path = path;
    cell.advance = {step * path.x, step * path.y};
    cell.lineFeed = {line * feed.x, line * feed.y};
    return cell;
}

// Draws the strokes of one character whose cell starts at `origin`, slanted and turned along `axis`.
void Interpreter::drawCharacter(unsigned char c, Point origin, const LabelCell& cell)
{
    const Point axis = cell.axis;
    const int set = label_.alternateChosen ? label_.alternate.set : label_.standard.set;
    // Characters are drawn solid, whatever the line type.
    pen_.holdPattern(true);
    for (const strokefont::GlyphPoint& g : strokefont::glyph(toFontCode(c, set))) {
        double along = g.x * cell.width + g.y * cell.height * label_.slant;
        double up = g.y * cell.height;
        Point p = bounded({origin.x + along * axis.x - up * axis.y, origin.y + along * axis.y + up * axis.x});
        if (g.penDown)
            pen_.lineTo(p);
        else
            pen_.moveTo(p);
    }
    pen_.holdPattern(false);
}

// How far the label origin (LO) moves a line of `cells` characters from the pen. Along the text path
// the line is placed with its first character's origin at the pen (left), its middle or its far end
// (right) there, by the boxes of its characters; across it, by the characters' own height, with the
// baseline (bottom), the middle or the cap height (top) at the pen. LO 11 to 19 add half a
// character of offset away from the pen.
Point Interpreter::lineShift(int cells, const LabelCell& cell) const
{
    int origin = label_.origin > 10 ? label_.origin - 10 : label_.origin;
    int column = (origin - 1) / 3; // 0 left, 1 centre, 2 right
    int row = (origin - 1) % 3;    // 0 bottom, 1 middle, 2 top

    // One character's box, corners (0,0) to (width,height) in the character's own frame, seen along
    // the path.
    const Point path = cell.path;
    double boxLow = 0, boxHigh = 0;
    for (double u : {0.0, cell.width}) {
        for (double v : {0.0, cell.height}) {
            double a =
                (u * cell.axis.x + v * cell.up.x) * path.x + (u * cell.axis.y + v * cell.up.y) * path.y;
            boxLow = std::min(boxLow, a);
            boxHigh = std::max(boxHigh, a);
        }
    }
    double step = std::hypot(cell.advance.x, cell.advance.y);
    double low = boxLow, high = (cells - 1) * step + boxHigh;
    double along = column == 0 ? 0 : column == 1 ? -(low + high) / 2 : -high;
    double across = row == 0 ? 0 : row == 1 ? -cell.height / 2 : -cell.height;
    if (label_.origin > 10) {
        along += column == 0 ? cell.width / 2 : column == 2 ? -cell.width / 2 : 0;
        across += row == 0 ? cell.height / 2 : row == 2 ? -cell.height / 2 : 0;
    }
    return {along * path.x + across * cell.up.x, along * path.y + across * cell.up.y};
}

// LB text up to the label terminator.
void Interpreter::label()
{
    const LabelText taken = takeLabelText();
    drawLabel(taken.data, taken.length);
}

// BL text up to the label terminator is kept for PB, which draws it as LB would.
void Interpreter::bufferLabel()
{
    const LabelText taken = takeLabelText();
    bufferedLabel_.assign(taken.data, taken.data + taken.length);
}

// Each line (between carriage returns and line feeds) is placed by the label origin; backspace steps
// back one cell, shift out and shift in choose the alternate and the standard character set, other
// control characters are ignored. The pen ends at the next character origin of the label as drawn,
// or at the carriage return point when the label ends with a carriage return.
void Interpreter::drawLabel(const unsigned char* text, size_t drawn)
{
    constexpr unsigned char kShiftOut = 0x0E, kShiftIn = 0x0F;
    LabelCell cell = labelCell();

    Point cursor = position_;
    Point shift;
    size_t i = 0;
    while (i < drawn) {
        size_t lineEnd = i;
        int cells = 0;
        for (; lineEnd < drawn && text[lineEnd] != kCarriageReturn && text[lineEnd] != kLineFeed; ++lineEnd) {
            if (text[lineEnd] >= 0x20)
                ++cells;
            else if (text[lineEnd] == kBackspace && cells > 0)
                --cells;
        }
        shift = cells > 0 ? lineShift(cells, cell) : Point{};

        for (; i < lineEnd; ++i) {
            unsigned char c = text[i];
            if (c == kBackspace) {
                cursor = {cursor.x - cell.advance.x, cursor.y - cell.advance.y};
            } else if (c == kShiftOut || c == kShiftIn) {
                // The other font may have another size.
                label_.alternateChosen = c == kShiftOut;
                cell = labelCell();
            } else if (c >= 0x20) {
                drawCharacter(c, {cursor.x + shift.x, cursor.y + shift.y}, cell);
                cursor = {cursor.x + cell.advance.x, cursor.y + cell.advance.y};
            }
        }
        if (i < drawn) {
            if (text[i] == kCarriageReturn) {
                cursor = carriageReturn_;
            } else {
                cursor = {cursor.x + cell.lineFeed.x, cursor.y + cell.lineFeed.y};
                carriageReturn_ = {carriageReturn_.x + cell.lineFeed.x, carriageReturn_.y + cell.lineFeed.y};
            }
            shift = {};
            ++i;
        }
    }
    position_ = bounded({cursor.x + shift.x, cursor.y + shift.y});
    pen_.moveTo(position_);
    sink().moveTo(position_);
}

// DT t[,mode]: the label terminator, printed with the label when mode is 0. DT; restores ETX.
void Interpreter::labelTerminator()
{
    int t = scanner_.take();
    if (t < 0)
        return;
    if (t == ';') {
        label_.terminator = 0x03;
        label_.printTerminator = false;
        return;
    }
    label_.terminator = static_cast<unsigned char>(t);
    double mode = 1;
    scanner_.number(mode);
    scanner_.numbers(nullptr, 0);
    label_.printTerminator = mode == 0;
}

void Interpreter::labelSettings(uint16_t code)
{
    double v[2];
    int n = scanner_.numbers(v, 2);
    bool pair = n >= 2;
    switch (code) {
    case mnemonic("SI"):
        // SI alone goes back to the font's size.
        label_.relativeSize = false;
        label_.sizeGiven = pair;
        label_.width = pair ? v[0] : 0.19;
        label_.height = pair ? v[1] : 0.27;
        break;
    case mnemonic("SR"):
        label_.relativeSize = true;
        label_.sizeGiven = true;
        label_.width = pair ? v[0] : 0.75;
        label_.height = pair ? v[1] : 1.5;
        break;
    case mnemonic("DI"):
    case mnemonic("DR"):
        if (pair && v[0] == 0 && v[1] == 0)
            break; // no direction at all
        label_.relativeDirection = code == mnemonic("DR");
        label_.run = pair ? v[0] : 1;
        label_.rise = pair ? v[1] : 0;
        break;
    case mnemonic("SL"):
        label_.slant = n >= 1 ? v[0] : 0;
        break;
    case mnemonic("ES"):
        label_.extraSpace = n >= 1 ? v[0] : 0;
        label_.extraLines = n >= 2 ? v[1] : 0;
        break;
    case mnemonic("DV"):
        label_.path = n >= 1 && v[0] >= 0 && v[0] <= 3 ? static_cast<int>(v[0]) : 0;
        label_.reverseLineFeed = n >= 2 && v[1] == 1;
        break;
    case mnemonic("LO"): {
        int origin = n >= 1 ? static_cast<int>(v[0]) : 1;
        if ((origin >= 1 && origin <= 9) || (origin >= 11 && origin <= 19))
            label_.origin = origin;
        carriageReturn_ = position_;
        break;
    }
    default:
        break;
    }
}

// CS and CA choose the standard and the alternate character set (CS alone set 0), SS and SA which of
// them labels use.
void Interpreter::characterSet(uint16_t code)
{
    double v[1];
    int n = scanner_.numbers(v, 1);
    int set = n >= 1 && std::fabs(v[0]) < 100000 ? static_cast<int>(v[0]) : kSetAscii;
    if (code == mnemonic("CS"))
        label_.standard.set = set;
    else if (code == mnemonic("CA"))
        label_.alternate.set = set;
    else
        label_.alternateChosen = code == mnemonic("SA");
}

// SD and AD kind,value pairs: 1 the character set, 2 the spacing (1 proportional), 3 the pitch,
// 4 the height; the others (posture, weight, typeface) do not change the stick font's strokes.
// Kinds not given take their defaults.
void Interpreter::fontDefinition(FontDefinition& font)
{
    double v[16];
    const int n = scanner_.numbers(v, 16);
    font = FontDefinition{};
    font.set = defaultSet();
    for (int i = 0; i + 1 < n; i += 2) {
        const double value = v[i + 1];
        switch (static_cast<int>(v[i])) {
        case 1:
            font.set = std::fabs(value) < 100000 ? static_cast<int>(value) : kSetAscii;
            break;
        case 2:
            font.proportional = value == 1;
            break;
        case 3:
            font.pitch = value;
            break;
        case 4:
            font.points = value;
            break;
        default:
            break;
        }
    }
}

// SM c: the character c is drawn centred on every point that PA, PR, PD and PU reach; SM alone, or a
// character that draws nothing, ends symbol mode.
void Interpreter::symbolMode()
{
    int c = scanner_.peek();
    label_.symbol = c > 0x20 && c != ';' && c != 0x7F ? static_cast<unsigned char>(c) : 0;
    if (label_.symbol != 0)
        scanner_.take();
}

void Interpreter::drawSymbol(Point at)
{
    const LabelCell cell = labelCell();
    Point centre{(cell.width * cell.axis.x + cell.height * cell.up.x) / 2,
                 (cell.width * cell.axis.y + cell.height * cell.up.y) / 2};
    drawCharacter(label_.symbol, {at.x - centre.x, at.y - centre.y}, cell);
    pen_.moveTo(at);
}

// TL tp[,tn]: the lengths of tick marks above and below the point, in percent of the P1..P2 span
// square to the tick; TL alone gives the defaults.
void Interpreter::tickLength()
{
    double v[2];
    int n = scanner_.numbers(v, 2);
    tickPositive_ = n >= 1 ? v[0] : 0.5;
    tickNegative_ = n >= 2 ? v[1] : n >= 1 ? 0 : 0.5;
}

// XT and YT draw a tick through the current position, along Y (XT) or along X (YT), whatever the pen
// state; the pen stays where it was.
void Interpreter::tick(bool alongY)
{
    scanner_.numbers(nullptr, 0);
    Point span{scaling_.p2().x - scaling_.p1().x, scaling_.p2().y - scaling_.p1().y};
    double extent = std::fabs(alongY ? span.y : span.x);
    double plus = extent * tickPositive_ / 100, minus = extent * tickNegative_ / 100;
    if (!(plus + minus != 0) || polygonMode_)
        return;
    Point direction = alongY ? Point{0, 1} : Point{1, 0};
    pen_.moveTo(bounded({position_.x - minus * direction.x, position_.y - minus * direction.y}));
    pen_.lineTo(bounded({position_.x + plus * direction.x, position_.y + plus * direction.y}));
    pen_.moveTo(position_);
}

// CP spaces,lines: moves the pen by character cells; CP alone starts a new line.
void Interpreter::characterPlot()
{
    double v[2];
    int n = scanner_.numbers(v, 2);
    const LabelCell cell = labelCell();
    const Point advance = cell.advance, lineFeed = cell.lineFeed;
    if (n < 2) {
        carriageReturn_ = {carriageReturn_.x + lineFeed.x, carriageReturn_.y + lineFeed.y};
        position_ = carriageReturn_;
    } else {
        // A positive line count moves up, against the line feed.
        position_ = bounded({position_.x + v[0] * advance.x - v[1] * lineFeed.x,
                             position_.y + v[0] * advance.y - v[1] * lineFeed.y});
    }
    pen_.moveTo(position_);
    sink().moveTo(position_);
}

// The text of LB, WD and BL: everything up to the label terminator, or to the end of the file when
// none follows, and the terminator itself when DT asked for it to be printed. The scanner moves past
// the text and its terminator.
Interpreter::LabelText Interpreter::takeLabelText()
{
    const unsigned char* text = scanner_.position();
    const size_t available = scanner_.remaining();
    const void* found = std::memchr(text, label_.terminator, available);
    const size_t length =
        found ? static_cast<size_t>(static_cast<const unsigned char*>(found) - text) : available;
    scanner_.skip(found ? length + 1 : length);
    return {text, found && label_.printTerminator ? length + 1 : length};
}

} // namespace hpgl
