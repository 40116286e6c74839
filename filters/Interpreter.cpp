#include "filters/Interpreter.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace hpgl {

namespace {

// How far the reading goes on between reports of its progress.
constexpr size_t kProgressStep = 2 * 1024 * 1024;

} // namespace

Interpreter::Interpreter(const unsigned char* data, size_t size, BlockWriter& writer,
                         double millimetresPerUnit, ReadProgress* progress)
    : scanner_(data, size), text_(data), progress_(progress), nextProgress_(kProgressStep),
      pen_(writer, scaling_, millimetresPerUnit)
{
    initialize(true);
}

void Interpreter::run()
{
    while (uint16_t code = scanner_.nextInstruction()) {
        execute(code);
        // Between instructions nothing before the scanner's position is looked at again.
        if (progress_ != nullptr) {
            auto offset = static_cast<size_t>(scanner_.position() - text_);
            if (offset >= nextProgress_) {
                progress_->readUpTo(offset);
                nextProgress_ = offset + kProgressStep;
            }
        }
    }
    pen_.finish();
}

void Interpreter::execute(uint16_t code)
{
    switch (code) {
    case mnemonic("PU"):
        penUpDown(false);
        break;
    case mnemonic("PD"):
        penUpDown(true);
        break;
    case mnemonic("PA"):
        plot(true);
        break;
    case mnemonic("PR"):
        plot(false);
        break;
    case mnemonic("PE"):
        polylineEncoded();
        break;
    case mnemonic("SP"):
        selectPen();
        break;
    case mnemonic("LT"):
        lineType();
        break;
    case mnemonic("PC"):
        penColour();
        break;
    case mnemonic("IN"):
    case mnemonic("BP"):
        initialize(true);
        break;
    case mnemonic("DF"):
        initialize(false);
        break;
    case mnemonic("AA"):
        arc(false);
        break;
    case mnemonic("AR"):
        arc(true);
        break;
    case mnemonic("AT"):
        arcThreePoint(false);
        break;
    case mnemonic("RT"):
        arcThreePoint(true);
        break;
    case mnemonic("CI"):
        circle();
        break;
    case mnemonic("BZ"):
        bezier(false);
        break;
    case mnemonic("BR"):
        bezier(true);
        break;
    case mnemonic("EA"):
    case mnemonic("RA"):
        rectangle(false);
        break;
    case mnemonic("ER"):
    case mnemonic("RR"):
        rectangle(true);
        break;
    case mnemonic("EW"):
    case mnemonic("WG"):
        wedge();
        break;
    case mnemonic("PM"):
        polygonMode();
        break;
    case mnemonic("EP"):
        drawPolygon(false);
        break;
    case mnemonic("FP"):
        drawPolygon(true);
        break;
    case mnemonic("IW"):
        inputWindow();
        break;
    case mnemonic("IP"):
    case mnemonic("IR"):
    case mnemonic("SC"):
    case mnemonic("RO"):
    case mnemonic("PS"):
        scalingInstruction(code);
        break;
    case mnemonic("LB"):
        label();
        break;
    case mnemonic("DT"):
        labelTerminator();
        break;
    case mnemonic("SI"):
    case mnemonic("SR"):
    case mnemonic("DI"):
    case mnemonic("DR"):
    case mnemonic("SL"):
    case mnemonic("ES"):
    case mnemonic("LO"):
    case mnemonic("DV"):
        labelSettings(code);
        break;
    case mnemonic("CP"):
        characterPlot();
        break;
    case mnemonic("WD"): // text for the plotter's display
        takeLabelText();
        break;
    case mnemonic("BL"):
        bufferLabel();
        break;
    case mnemonic("PB"):
        scanner_.numbers(nullptr, 0);
        drawLabel(bufferedLabel_.data(), bufferedLabel_.size());
        break;
    case mnemonic("CS"):
    case mnemonic("CA"):
    case mnemonic("SS"):
    case mnemonic("SA"):
        characterSet(code);
        break;
    case mnemonic("TL"):
        tickLength();
        break;
    case mnemonic("XT"):
        tick(true);
        break;
    case mnemonic("YT"):
        tick(false);
        break;
    case mnemonic("CO"):
        // A comment: quoted text, or, as some writers send it, everything up to the terminator.
        while (scanner_.peek() == ' ')
            scanner_.take();
        if (scanner_.peek() != '"') {
            while (!scanner_.atEnd() && scanner_.take() != ';') {
            }
        }
        break;
    case mnemonic("SM"):
        symbolMode();
        break;
    default:
        break; // anything else (PG, PW, WU, NP, ...) changes nothing that is drawn
    }
}

// IN and BP reset everything; DF leaves the scaling points, the rotation and the pen where they are.
void Interpreter::initialize(bool everything)
{
    if (everything) {
        scaling_.initialize();
        position_ = {0, 0};
        penDown_ = false;
        pen_.setPenZeroDraws(false);
    } else {
        scaling_.setUserScale(nullptr, 0);
    }
    pen_.moveTo(position_);
    pen_.clearWindow();
    pen_.setLineType(0);
    previousLineType_ = 0;
    absolute_ = true;
    polygonMode_ = false;
    polygon_.begin(position_); // leaving polygon mode this way empties the buffer
    label_ = LabelSettings{};
    tickPositive_ = tickNegative_ = 0.5;
    carriageReturn_ = position_;
}

PathSink& Interpreter::sink()
{
    return polygonMode_ ? static_cast<PathSink&>(polygon_) : static_cast<PathSink&>(pen_);
}

void Interpreter::moveTo(Point target)
{
    target = bounded(target);
    sink().moveTo(target);
    position_ = target;
    carriageReturn_ = target;
}

void Interpreter::drawTo(Point target)
{
    target = bounded(target);
    // Called directly rather than through sink(), so that the pen output's next line is inlined here.
    if (polygonMode_)
        polygon_.lineTo(target);
    else
        pen_.lineTo(target);
    position_ = target;
    carriageReturn_ = target;
}

void Interpreter::travelTo(Point target)
{
    if (penDown_)
        drawTo(target);
    else
        moveTo(target);
}

// Where a relative move of userDelta (user units) from the current position leads, in plotter units.
Point Interpreter::afterRelativeMove(Point userDelta) const
{
    Point d = scaling_.deltaToPlotter(userDelta);
    return {position_.x + d.x, position_.y + d.y};
}

// PA and PR set the plotting mode; both take pairs of coordinates, an odd one left over is ignored.
void Interpreter::plot(bool absolute)
{
    absolute_ = absolute;
    double x, y;
    while (scanner_.number(x) && scanner_.number(y)) {
        travelTo(absolute_ ? scaling_.toPlotter({x, y}) : afterRelativeMove({x, y}));
        if (label_.symbol != 0 && !polygonMode_)
            drawSymbol(position_);
    }
}

void Interpreter::penUpDown(bool down)
{
    penDown_ = down;
    plot(absolute_);
}

// A drawing without SP uses pen 1; SP without a number, or SP0, puts the pen away.
void Interpreter::selectPen()
{
    double value = 0;
    scanner_.number(value);
    scanner_.numbers(nullptr, 0);
    if (value >= 0)
        pen_.selectPen(static_cast<int32_t>(value));
}

// The path's line type holds the pattern number in its high byte and the pattern length (percent of
// the P1..P2 diagonal) in its low byte; 0 is solid. The pattern byte is signed, so an adaptive
// pattern (negative number) keeps its sign. The length is rounded to whole percent, at least 1, so
// that a pattern never reads as one of no length. LT99 brings back the pattern used before LT.
void Interpreter::lineType()
{
    double v[2];
    int n = scanner_.numbers(v, 2);
    uint16_t type = 0;
    if (n >= 1 && static_cast<int>(v[0]) == 99) {
        type = pen_.lineType() == 0 ? previousLineType_ : pen_.lineType();
    } else if (n >= 1) {
        auto pattern = static_cast<int8_t>(std::clamp(static_cast<int>(v[0]), -128, 127));
        double length = n >= 2 ? v[1] : 4;
        auto lengthByte = static_cast<int>(std::clamp(std::round(length), 1.0, 255.0));
        type = static_cast<uint16_t>((static_cast<uint8_t>(pattern) << 8) | lengthByte);
    }
    if (pen_.lineType() != 0)
        previousLineType_ = pen_.lineType();
    pen_.setLineType(type);
}

// PC pen[,red,green,blue]: a colour given to pen 0 makes it a drawing pen, as CAD programs use it;
// PC0 alone or PC without parameters gives pen 0 back its default, no pen at all.
void Interpreter::penColour()
{
    double v[4];
    int n = scanner_.numbers(v, 4);
    if (n == 0)
        pen_.setPenZeroDraws(false);
    else if (v[0] == 0)
        pen_.setPenZeroDraws(n >= 4);
}

} // namespace hpgl
