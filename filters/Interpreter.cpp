#include "filters/Interpreter.h"

#include "filters/CharacterSets.h"

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
    case mnemonic("UL"):
        userPattern();
        break;
    case mnemonic("BP"):
    case kEnterHpgl2:
        enterHpgl2();
        if (code == mnemonic("BP"))
            initialize(true);
        break;
    case mnemonic("IN"):
        initialize(true);
        break;
    case mnemonic("PG"):
        scanner_.numbers(nullptr, 0);
        newPage();
        break;
    case kPageEject:
        newPage();
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
    case mnemonic("SD"):
        fontDefinition(label_.standard);
        break;
    case mnemonic("AD"):
        fontDefinition(label_.alternate);
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
        break; // anything else (PW, WU, NP, ...) changes nothing that is drawn
    }
}

// IN and BP reset everything; DF leaves the scaling points, the rotation, the pen and the pens'
// colours and user line patterns where they are.
void Interpreter::initialize(bool everything)
{
    if (everything) {
        scaling_.initialize();
        position_ = {0, 0};
        penDown_ = false;
        pen_.setPenZeroDraws(false);
        pen_.clearPenColours();
        for (std::vector<double>& pattern : userPatterns_)
            pattern.clear();
    } else {
        scaling_.setUserScale(nullptr, 0);
    }
    pen_.moveTo(position_);
    pen_.clearWindow();
    lineType_ = previousLineType_ = LineType{};
    applyLineType();
    absolute_ = true;
    polygonMode_ = false;
    polygon_.begin(position_); // leaving polygon mode this way empties the buffer
    label_ = LabelSettings{};
    label_.standard.set = label_.alternate.set = defaultSet();
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

// PG, or the page eject of the printer language around the plot: what follows is drawn on a new
// page, placed after this one along x. The pen is lifted and stays where it is in the plot's frame.
void Interpreter::newPage()
{
    pen_.newPage();
    penDown_ = false;
    moveTo(position_);
}

// From BP or the printer language's switch on, the file is HP-GL/2, whose stick font reads labels in
// Roman-8 unless a character set is chosen.
void Interpreter::enterHpgl2()
{
    hpgl2_ = true;
    for (FontDefinition* font : {&label_.standard, &label_.alternate})
        if (font->set == kSetAscii)
            font->set = kSetRoman8;
}

int Interpreter::defaultSet() const { return hpgl2_ ? kSetRoman8 : kSetAscii; }

} // namespace hpgl
