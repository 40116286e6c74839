#include "output/CompactWriter.h"

#include "output/EmissionObserver.h"
#include "ports/CPlotPort.h"

#include <charconv>

namespace {

// A list this long is written as one command and the next points start another, so that a long line
// reaches the port while it is being worked out and no device meets a command of unbounded length.
constexpr std::size_t kMaxListPoints = 128;
// The open encoded polyline is written to the port whenever this much of it is held.
constexpr std::size_t kEncodedWriteSize = 256;

void appendNumber(std::string& text, std::int64_t value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text.append(digits, end);
}

} // namespace

void appendEncodedNumber(std::string& out, std::int64_t value)
{
    std::uint64_t coded =
        value >= 0 ? static_cast<std::uint64_t>(value) * 2 : static_cast<std::uint64_t>(-value) * 2 + 1;
    while (coded >= 64) {
        out += static_cast<char>(63 + coded % 64);
        coded /= 64;
    }
    out += static_cast<char>(191 + coded);
}

void CompactWriter::startPass(CompactForm form, CPlotPort& port, EmissionObserver* observer)
{
    form_ = form;
    port_ = &port;
    observer_ = observer;
    encodedInstructions_ = 0;
    known_ = false;
    relative_ = false;
    absoluteNext_ = true;
    hasMove_ = false;
    points_.clear();
    listOpen_ = false;
    encoded_.clear();
    inEncoded_ = false;
}

void CompactWriter::startSection()
{
    if (form_ == CompactForm::Lists)
        writeListRun();
    absoluteNext_ = true;
}

void CompactWriter::moveTo(std::int32_t x, std::int32_t y)
{
    if (form_ == CompactForm::Lists && !points_.empty())
        writeListRun();
    hasMove_ = true;
    move_ = {x, y};
}

void CompactWriter::lineTo(std::int32_t x, std::int32_t y)
{
    if (form_ == CompactForm::Lists) {
        points_.push_back({x, y});
        if (points_.size() >= kMaxListPoints)
            writeListRun();
        return;
    }
    if (!inEncoded_) {
        encoded_ += "PE";
        ++encodedInstructions_;
        inEncoded_ = true;
    }
    if (hasMove_) {
        encoded_ += '<';
        appendEncodedPoint(move_, false);
        hasMove_ = false;
    }
    appendEncodedPoint({x, y}, true);
    if (encoded_.size() >= kEncodedWriteSize) {
        write(encoded_, encodedInstructions_);
        encoded_.clear();
        encodedInstructions_ = 0;
    }
}

void CompactWriter::flush()
{
    if (form_ == CompactForm::Off)
        return;
    if (form_ == CompactForm::Lists) {
        writeListRun();
        if (listOpen_)
            write(";", 0);
        listOpen_ = false;
        return;
    }
    if (hasMove_) {
        if (!inEncoded_) {
            encoded_ += "PE";
            ++encodedInstructions_;
        }
        inEncoded_ = true;
        encoded_ += '<';
        appendEncodedPoint(move_, false);
        hasMove_ = false;
    }
    if (inEncoded_)
        encoded_ += ';';
    write(encoded_, encodedInstructions_);
    encoded_.clear();
    encodedInstructions_ = 0;
    inEncoded_ = false;
}

void CompactWriter::finish()
{
    if (form_ == CompactForm::Lists) {
        writeListRun();
        if (relative_)
            write("PA;", 1);
        listOpen_ = !relative_ && listOpen_;
    }
    flush();
    relative_ = false;
    known_ = false;
    absoluteNext_ = true;
}

// One move and the pen-down points after it, absolute or relative, whichever is shorter once the mode
// change it may need is counted. The last instruction is left open: the next mnemonic ends it, or flush.
void CompactWriter::writeListRun()
{
    if (!hasMove_ && points_.empty())
        return;
    std::string absolute;
    if (hasMove_)
        appendList(absolute, "PU", {move_});
    appendList(absolute, "PD", points_);

    std::string relative;
    const bool relativeAllowed = known_ && !absoluteNext_;
    if (relativeAllowed) {
        Point from = position_;
        if (hasMove_) {
            appendList(relative, "PU", {{move_.x - from.x, move_.y - from.y}});
            from = move_;
        }
        std::vector<Point> steps;
        steps.reserve(points_.size());
        for (const Point& p : points_) {
            steps.push_back({p.x - from.x, p.y - from.y});
            from = p;
        }
        appendList(relative, "PD", steps);
    }

    if (observer_ != nullptr) {
        if (hasMove_)
            observer_->penTo(false, static_cast<std::int32_t>(move_.x), static_cast<std::int32_t>(move_.y));
        for (const Point& p : points_)
            observer_->penTo(true, static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.y));
    }
    const std::size_t absoluteCost = absolute.size() + (relative_ ? 2 : 0);
    const std::size_t relativeCost = relative.size() + (relative_ ? 0 : 2);
    const int instructions = (hasMove_ ? 1 : 0) + (points_.empty() ? 0 : 1);
    if (relativeAllowed && relativeCost < absoluteCost) {
        write(relative_ ? relative : "PR" + relative, instructions + (relative_ ? 0 : 1));
        relative_ = true;
    } else {
        write(relative_ ? "PA" + absolute : absolute, instructions + (relative_ ? 1 : 0));
        relative_ = false;
    }
    listOpen_ = true;

    position_ = points_.empty() ? move_ : points_.back();
    known_ = true;
    absoluteNext_ = false;
    hasMove_ = false;
    points_.clear();
}

void CompactWriter::appendList(std::string& text, const char* mnemonic, const std::vector<Point>& points)
{
    if (points.empty())
        return;
    text += mnemonic;
    bool first = true;
    for (const Point& p : points) {
        for (const std::int64_t value : {p.x, p.y}) {
            // The minus sign of a number separates it from the one before.
            if (!first && value >= 0)
                text += ',';
            appendNumber(text, value);
            first = false;
        }
    }
}

void CompactWriter::appendEncodedPoint(Point p, bool down)
{
    if (observer_ != nullptr)
        observer_->penTo(down, static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.y));
    if (!known_ || absoluteNext_) {
        encoded_ += '=';
        appendEncodedNumber(encoded_, p.x);
        appendEncodedNumber(encoded_, p.y);
    } else {
        appendEncodedNumber(encoded_, p.x - position_.x);
        appendEncodedNumber(encoded_, p.y - position_.y);
    }
    position_ = p;
    known_ = true;
    absoluteNext_ = false;
}

void CompactWriter::write(const std::string& text, int instructions)
{
    if (text.empty())
        return;
    port_->Write(text.c_str());
    if (observer_ != nullptr)
        observer_->written(text.size(), instructions);
}
