#include "filters/Interpreter.h"
#include "filters/StrokeFont.h"

#include <cmath>
#include <cstring>

namespace hpgl {

namespace {

constexpr double kUnitsPerCentimetre = 400;
constexpr unsigned char kBackspace = 0x08;
constexpr unsigned char kLineFeed = 0x0A;
constexpr unsigned char kCarriageReturn = 0x0D;

} // namespace

// A character cell is 1.5 character widths along the label direction and a line 2 cap heights,
// square to it, each widened by the extra space ES asks for.
LabelCell Interpreter::labelCell() const
{
    LabelCell cell;
    Point span{scaling_.p2().x - scaling_.p1().x, scaling_.p2().y - scaling_.p1().y};
    if (label_.relativeSize) {
        cell.width = std::fabs(span.x) * label_.width / 100;
        cell.height = std::fabs(span.y) * label_.height / 100;
    } else {
        cell.width = label_.width * kUnitsPerCentimetre;
        cell.height = label_.height * kUnitsPerCentimetre;
    }
    Point axis{label_.run, label_.rise};
    if (label_.relativeDirection)
        axis = {label_.run * span.x / 100, label_.rise * span.y / 100};
    double length = std::hypot(axis.x, axis.y);
    axis = length > 0 && std::isfinite(length) ? Point{axis.x / length, axis.y / length} : Point{1, 0};
    double step = 1.5 * cell.width * (1 + label_.extraSpace);
    double line = 2 * cell.height * (1 + label_.extraLines);
    cell.axis = axis;
    cell.advance = {step * axis.x, step * axis.y};
    cell.lineFeed = {line * axis.y, -line * axis.x};
    return cell;
}

// Draws the strokes of one character whose cell starts at `origin`, slanted and turned along `axis`.
void Interpreter::drawCharacter(unsigned char c, Point origin, const LabelCell& cell)
{
    const Point axis = cell.axis;
    for (const strokefont::GlyphPoint& g : strokefont::glyph(c)) {
        double along = g.x * cell.width + g.y * cell.height * label_.slant;
        double up = g.y * cell.height;
        Point p = bounded({origin.x + along * axis.x - up * axis.y, origin.y + along * axis.y + up * axis.x});
        if (g.penDown)
            pen_.lineTo(p);
        else
            pen_.moveTo(p);
    }
}

// LB text up to the label terminator. Each line (between carriage returns and line feeds) is placed
// by the label origin; backspace steps back one cell, other control characters are ignored. The pen
// ends where the next character would start.
void Interpreter::label()
{
    const LabelText taken = takeLabelText();
    const unsigned char* text = taken.data;
    size_t drawn = taken.terminated && label_.printTerminator ? taken.length + 1 : taken.length;

    const LabelCell cell = labelCell();
    const Point axis = cell.axis, advance = cell.advance, lineFeed = cell.lineFeed;
    const Point up{-axis.y, axis.x};
    const double width = cell.width, height = cell.height;
    const double step = std::hypot(advance.x, advance.y);

    int origin = label_.origin > 10 ? label_.origin - 10 : label_.origin;
    int column = (origin - 1) / 3; // 0 left, 1 centre, 2 right
    int row = (origin - 1) % 3;    // 0 bottom, 1 middle, 2 top

    Point cursor = position_;
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
        double lineLength = cells > 0 ? cells * step - 0.5 * width : 0;
        double along = column == 0 ? 0 : column == 1 ? -lineLength / 2 : -lineLength;
        double across = row == 0 ? 0 : row == 1 ? -height / 2 : -height;
        if (label_.origin > 10) {
            along += column == 0 ? width / 2 : column == 2 ? -width / 2 : 0;
            across += row == 0 ? height / 2 : row == 2 ? -height / 2 : 0;
        }
        Point shift{along * axis.x + across * up.x, along * axis.y + across * up.y};

        for (; i < lineEnd; ++i) {
            unsigned char c = text[i];
            if (c == kBackspace) {
                cursor = {cursor.x - advance.x, cursor.y - advance.y};
            } else if (c >= 0x20) {
                drawCharacter(c, {cursor.x + shift.x, cursor.y + shift.y}, cell);
                cursor = {cursor.x + advance.x, cursor.y + advance.y};
            }
        }
        if (i < drawn) {
            if (text[i] == kCarriageReturn) {
                cursor = carriageReturn_;
            } else {
                cursor = {cursor.x + lineFeed.x, cursor.y + lineFeed.y};
                carriageReturn_ = {carriageReturn_.x + lineFeed.x, carriageReturn_.y + lineFeed.y};
            }
            ++i;
        }
    }
    position_ = bounded(cursor);
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
        label_.relativeSize = false;
        label_.width = pair ? v[0] : 0.19;
        label_.height = pair ? v[1] : 0.27;
        break;
    case mnemonic("SR"):
        label_.relativeSize = true;
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
// none follows. The scanner moves past the text and its terminator.
Interpreter::LabelText Interpreter::takeLabelText()
{
    const unsigned char* text = scanner_.position();
    const size_t available = scanner_.remaining();
    const void* found = std::memchr(text, label_.terminator, available);
    const size_t length =
        found ? static_cast<size_t>(static_cast<const unsigned char*>(found) - text) : available;
    scanner_.skip(found ? length + 1 : length);
    return {text, length, found != nullptr};
}

} // namespace hpgl
