#include "hpgl/HpglStreamReader.h"

#include <cctype>
#include <cstdlib>
#include <string>

namespace {

bool isLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

} // namespace

class HpglPen::Reader {
public:
    explicit Reader(std::string_view stream) : text_(stream) {}

    // Reads the next piece of the stream, the state kept from the pieces before.
    void readMore(std::string_view text, const std::function<void(const PenMove&)>* onMove)
    {
        if (carry_.empty()) {
            text_ = text;
        } else {
            joined_ = carry_ + std::string(text);
            carry_.clear();
            text_ = joined_;
        }
        at_ = 0;
        onMove_ = onMove;
        collect_ = false;
        if (inEncoded_)
            encoded();
        instructions();
        onMove_ = nullptr;
    }

    void lift()
    {
        setPen(false);
        inEncoded_ = false;
        carry_.clear();
    }
    DrawnPoint position() const { return {x_, y_}; }
    bool down() const { return penDown_; }

    std::vector<DrawnLine> read()
    {
        instructions();
        endLine();
        return std::move(lines_);
    }

private:
    // Carries out the instructions from where the reading is to the end of the text. An encoded polyline
    // begins with no pending flags: a pen-up or absolute flag left at the end of one is not carried into
    // the next.
    void instructions()
    {
        while (at_ + 1 < text_.size()) {
            if (!isLetter(text_[at_]) || !isLetter(text_[at_ + 1])) {
                ++at_;
                continue;
            }
            const std::string mnemonic{static_cast<char>(std::toupper(text_[at_])),
                                       static_cast<char>(std::toupper(text_[at_ + 1]))};
            at_ += 2;
            if (mnemonic == "PE") {
                inEncoded_ = true;
                penUpNext_ = absoluteNext_ = false;
                encoded();
            } else {
                instruction(mnemonic, numbers());
            }
        }
    }

    // The numbers up to the next instruction.
    std::vector<double> numbers()
    {
        std::vector<double> values;
        while (at_ < text_.size() && !isLetter(text_[at_]) && text_[at_] != ';') {
            const char c = text_[at_];
            if (c == '-' || c == '+' || c == '.' || std::isdigit(static_cast<unsigned char>(c)) != 0) {
                const std::string rest(text_.substr(at_, 32));
                char* end = nullptr;
                values.push_back(std::strtod(rest.c_str(), &end));
                at_ += static_cast<std::size_t>(end - rest.c_str());
                if (end == rest.c_str())
                    ++at_;
            } else {
                ++at_;
            }
        }
        return values;
    }

    void instruction(const std::string& mnemonic, const std::vector<double>& values)
    {
        if (mnemonic == "IN") {
            endLine();
            relative_ = false;
            penDown_ = false;
            x_ = y_ = 0;
        } else if (mnemonic == "SP") {
            endLine();
            penDown_ = false;
            pen_ = values.empty() ? 0 : static_cast<int>(values[0]);
        } else if (mnemonic == "PA" || mnemonic == "PR") {
            relative_ = mnemonic == "PR";
            moves(values);
        } else if (mnemonic == "PU" || mnemonic == "PD") {
            setPen(mnemonic == "PD");
            moves(values);
        }
    }

    void moves(const std::vector<double>& values)
    {
        for (std::size_t i = 0; i + 1 < values.size(); i += 2)
            moveTo(relative_ ? x_ + values[i] : values[i], relative_ ? y_ + values[i + 1] : values[i + 1]);
    }

    void setPen(bool down)
    {
        if (!down)
            endLine();
        penDown_ = down;
    }

    void moveTo(double x, double y)
    {
        if (onMove_ != nullptr)
            (*onMove_)(PenMove{{x_, y_}, {x, y}, penDown_});
        if (penDown_ && collect_) {
            if (line_.points.empty())
                line_.points.push_back({x_, y_});
            line_.points.push_back({x, y});
        }
        x_ = x;
        y_ = y;
    }

    void endLine()
    {
        if (line_.points.size() >= 2) {
            line_.pen = pen_;
            lines_.push_back(std::move(line_));
        }
        line_ = {};
    }

    // One encoded number; false at the end of the instruction.
    bool encodedNumber(double& value)
    {
        const unsigned base = sevenBit_ ? 32 : 64;
        const unsigned lastStart = sevenBit_ ? 95 : 191;
        unsigned long long coded = 0;
        unsigned long long scale = 1;
        while (at_ < text_.size()) {
            const auto c = static_cast<unsigned char>(text_[at_++]);
            if (c >= 63 && c < 63 + base) {
                coded += (c - 63ull) * scale;
                scale *= base;
            } else if (c >= lastStart && c < lastStart + base) {
                coded += (c - lastStart) * scale;
                const double magnitude =
                    static_cast<double>(coded / 2) / static_cast<double>(1ull << fraction_);
                value = (coded % 2) != 0 ? -magnitude : magnitude;
                return true;
            } else {
                --at_;
                return false;
            }
        }
        return false;
    }

    // An encoded polyline up to its semicolon. A piece of the stream that ends inside it leaves the
    // polyline open, and an item cut short is kept for the next piece.
    void encoded()
    {
        bool& penUpNext = penUpNext_;
        bool& absoluteNext = absoluteNext_;
        while (at_ < text_.size() && text_[at_] != ';') {
            const std::size_t start = at_;
            const char c = text_[at_];
            double a = 0;
            double b = 0;
            if (c == '<' || c == '=' || c == '>' || c == ':' || c == '7') {
                ++at_;
                if (c == '<')
                    penUpNext = true;
                else if (c == '=')
                    absoluteNext = true;
                else if (c == '7')
                    sevenBit_ = true;
                else if (c == '>' && encodedNumber(a))
                    fraction_ = static_cast<int>(a);
                else if (c == ':' && encodedNumber(a)) {
                    endLine();
                    pen_ = static_cast<int>(a);
                }
            } else if (encodedNumber(a) && encodedNumber(b)) {
                setPen(!penUpNext);
                moveTo(absoluteNext ? a : x_ + a, absoluteNext ? b : y_ + b);
                penUpNext = absoluteNext = false;
                continue;
            } else if (at_ < text_.size()) {
                ++at_;
                continue;
            }
            if (at_ >= text_.size()) {
                carry_ = std::string(text_.substr(start));
                return;
            }
        }
        if (at_ < text_.size() || !collect_) {
            inEncoded_ = at_ >= text_.size();
            if (inEncoded_)
                return;
        }
        inEncoded_ = false;
        sevenBit_ = false;
        fraction_ = 0;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::vector<DrawnLine> lines_;
    DrawnLine line_;
    double x_ = 0;
    double y_ = 0;
    bool relative_ = false;
    bool penDown_ = false;
    int pen_ = 0;
    bool sevenBit_ = false;
    int fraction_ = 0;
    const std::function<void(const PenMove&)>* onMove_ = nullptr;
    // Whether the drawn lines are kept; a pen read in pieces only tells its moves.
    bool collect_ = true;
    // Inside an encoded polyline that a piece of the stream left open, with its pending flags and the
    // bytes of an item the piece cut short.
    bool inEncoded_ = false;
    bool penUpNext_ = false;
    bool absoluteNext_ = false;
    std::string carry_;
    std::string joined_;
};

std::vector<DrawnLine> readDrawing(std::string_view stream) { return HpglPen::Reader(stream).read(); }

HpglPen::HpglPen() : reader_(std::make_unique<Reader>(std::string_view())) {}

HpglPen::~HpglPen() = default;

void HpglPen::read(std::string_view text, const std::function<void(const PenMove&)>& onMove)
{
    reader_->readMore(text, &onMove);
}

void HpglPen::lift() { reader_->lift(); }

DrawnPoint HpglPen::position() const { return reader_->position(); }

bool HpglPen::down() const { return reader_->down(); }
