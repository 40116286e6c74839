#pragma once

#include "filters/PathSink.h"

namespace hpgl {

// The coordinate systems of a plot: user units (when SC is on) map onto the plotter units of the
// rotated frame spanned by the scaling points P1 and P2; RO turns that frame on the physical page,
// whose size comes from PS.
class Scaling {
public:
    Scaling();

    void initialize();                              // IN: default page frame, no rotation, scaling off
    void setPageSize(double length, double width);  // PS: X length, Y width in plotter units
    void setScalingPoints(const double* v, int n);  // IP with 0, 2 or 4 values
    void setScalingPercent(const double* v, int n); // IR with 0, 2 or 4 values
    void setUserScale(const double* v, int n);      // SC with 0, 4, 5 or 7 values
    void rotate(double degrees);                    // RO

    // The page in plotter units of the rotated frame, when the file gave its size with PS.
    bool pageGiven() const { return pageGiven_; }
    Point frameSize() const { return {frameWidth(), frameHeight()}; }

    Point p1() const { return p1_; }
    Point p2() const { return p2_; }

    // Absolute user coordinates to plotter units of the rotated frame, and back.
    Point toPlotter(Point user) const
    {
        return {origin_.x + (user.x - userMin_.x) * factor_.x, origin_.y + (user.y - userMin_.y) * factor_.y};
    }
    Point toUser(Point plotter) const;
    // A relative move in user units as a move in plotter units.
    Point deltaToPlotter(Point userDelta) const { return {userDelta.x * factor_.x, userDelta.y * factor_.y}; }
    // Plotter units of the rotated frame to plotter units on the page.
    Point toPage(Point plotter) const
    {
        switch (rotation_) {
        case 90:
            return {pageLength_ - plotter.y, plotter.x};
        case 180:
            return {pageLength_ - plotter.x, pageWidth_ - plotter.y};
        case 270:
            return {plotter.y, pageWidth_ - plotter.x};
        default:
            return plotter;
        }
    }

private:
    void resetScalingPoints();
    void updateFactors();
    double frameWidth() const;  // X extent of the rotated frame
    double frameHeight() const; // Y extent of the rotated frame

    double pageLength_, pageWidth_;
    bool pageGiven_ = false;
    int rotation_ = 0; // 0, 90, 180 or 270
    Point p1_, p2_;
    bool scaled_ = false;
    double sc_[7] = {};
    int scType_ = 0;
    // user -> plotter: plotter = origin + (user - userMin) * factor
    Point factor_{1, 1}, origin_, userMin_;
};

} // namespace hpgl
