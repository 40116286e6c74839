#include "filters/Scaling.h"

#include <cmath>

namespace hpgl {

namespace {

// The page of an HP-GL plotter when the file does not give one with PS (A4 landscape).
constexpr double kDefaultPageLength = 10300;
constexpr double kDefaultPageWidth = 7650;

} // namespace

Scaling::Scaling() : pageLength_(kDefaultPageLength), pageWidth_(kDefaultPageWidth) { initialize(); }

void Scaling::initialize()
{
    rotation_ = 0;
    scaled_ = false;
    resetScalingPoints();
}

void Scaling::setPageSize(double length, double width)
{
    if (length > 0)
        pageLength_ = length;
    if (width > 0)
        pageWidth_ = width;
    pageGiven_ = true;
    resetScalingPoints();
}

double Scaling::frameWidth() const { return rotation_ % 180 == 0 ? pageLength_ : pageWidth_; }

double Scaling::frameHeight() const { return rotation_ % 180 == 0 ? pageWidth_ : pageLength_; }

void Scaling::resetScalingPoints()
{
    p1_ = {0, 0};
    p2_ = {frameWidth(), frameHeight()};
    updateFactors();
}

void Scaling::setScalingPoints(const double* v, int n)
{
    if (n < 2) {
        resetScalingPoints();
        return;
    }
    Point moved{v[0], v[1]};
    if (n >= 4)
        p2_ = {v[2], v[3]};
    else
        p2_ = {p2_.x + moved.x - p1_.x, p2_.y + moved.y - p1_.y};
    p1_ = moved;
    // Coinciding scaling points would leave no room to scale into.
    if (p2_.x == p1_.x)
        p2_.x = p1_.x + 1;
    if (p2_.y == p1_.y)
        p2_.y = p1_.y + 1;
    updateFactors();
}

void Scaling::setScalingPercent(const double* v, int n)
{
    if (n < 2) {
        resetScalingPoints();
        return;
    }
    double w = frameWidth(), h = frameHeight();
    double points[4] = {v[0] * w / 100, v[1] * h / 100, 0, 0};
    if (n >= 4) {
        points[2] = v[2] * w / 100;
        points[3] = v[3] * h / 100;
    }
    setScalingPoints(points, n >= 4 ? 4 : 2);
}

void Scaling::setUserScale(const double* v, int n)
{
    if (n < 4) {
        scaled_ = false;
        updateFactors();
        return;
    }
    int type = n >= 5 ? static_cast<int>(v[4]) : 0;
    if (type < 0 || type > 2)
        return;
    // Type 0 and 1 map a range of user units onto P1..P2; an empty range cannot be scaled.
    if (type != 2 && (v[0] == v[1] || v[2] == v[3]))
        return;
    if (type == 2 && (v[1] == 0 || v[3] == 0))
        return;
    for (int i = 0; i < 7; ++i)
        sc_[i] = i < n ? v[i] : 50;
    scType_ = type;
    scaled_ = true;
    updateFactors();
}

void Scaling::updateFactors()
{
    if (!scaled_) {
        factor_ = {1, 1};
        origin_ = {0, 0};
        userMin_ = {0, 0};
        return;
    }
    double spanX = p2_.x - p1_.x, spanY = p2_.y - p1_.y;
    origin_ = p1_;
    userMin_ = {sc_[0], sc_[2]};
    if (scType_ == 2)
        factor_ = {sc_[1], sc_[3]}; // plotter units per user unit, given directly
    else
        factor_ = {spanX / (sc_[1] - sc_[0]), spanY / (sc_[3] - sc_[2])};
    if (scType_ == 1) {
        // Isotropic: the smaller factor on both axes, the room left over shared out by the
        // left and bottom percentages.
        double f = std::fmin(std::fabs(factor_.x), std::fabs(factor_.y));
        factor_ = {std::copysign(f, factor_.x), std::copysign(f, factor_.y)};
        double restX = spanX - (sc_[1] - sc_[0]) * factor_.x;
        double restY = spanY - (sc_[3] - sc_[2]) * factor_.y;
        origin_ = {p1_.x + restX * sc_[5] / 100, p1_.y + restY * sc_[6] / 100};
    }
    // Factors too small or too large to invert leave the plot unscaled rather than infinite.
    bool usable = std::isfinite(factor_.x) && std::isfinite(factor_.y) && std::fabs(factor_.x) > 1e-12 &&
                  std::fabs(factor_.y) > 1e-12 && std::isfinite(origin_.x) && std::isfinite(origin_.y);
    if (!usable) {
        scaled_ = false;
        updateFactors();
    }
}

void Scaling::rotate(double degrees)
{
    double turned = std::fmod(degrees, 360);
    if (turned < 0)
        turned += 360;
    rotation_ = (static_cast<int>(std::lround(turned / 90)) % 4) * 90;
    resetScalingPoints();
}

Point Scaling::toUser(Point plotter) const
{
    return {userMin_.x + (plotter.x - origin_.x) / factor_.x,
            userMin_.y + (plotter.y - origin_.y) / factor_.y};
}

} // namespace hpgl
