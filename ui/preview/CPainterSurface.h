#pragma once

#include "plotdata/DrawingSurface.h"

#include <QPainterPath>

class QPainter;

// Draws paths onto a QPainter: each path is built as a QPainterPath and stroked once with a cosmetic pen,
// one pixel wide whatever the painter's transform, in the colour selected last.
class CPainterSurface : public DrawingSurface {
public:
    // The painter's pen colour is the surface's first pen.
    explicit CPainterSurface(QPainter& painter);

    void beginPath() override;
    void moveTo(IPoint p) override;
    void lineTo(IPoint p) override;
    void bezierTo(IPoint control1, IPoint control2, IPoint end) override;
    CPen selectPen(const CPen& pen) override;
    void strokePath() override;

private:
    QPainter& painter_;
    QPainterPath path_;
    CPen pen_;
};
