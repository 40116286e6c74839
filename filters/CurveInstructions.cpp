#include "filters/Arcs.h"
#include "filters/Interpreter.h"

#include <algorithm>
#include <cmath>

namespace hpgl {

// Draws the arc around `userCenter` from `userStart` into `out`, whose figure is already at the start:
// as chords of at most `chordDegrees` when the file gave a chord angle, else as Bezier pieces.
// Returns the end of the arc in plotter units.
Point Interpreter::traceArc(PathSink& out, Point userCenter, Point userStart, double sweepDegrees,
                            double chordDegrees)
{
    double sweep = std::clamp(sweepDegrees, -360.0, 360.0);
    if (chordDegrees > 0) {
        int n = chordCount(sweep, chordDegrees);
        Point p;
        for (int i = 1; i <= n; ++i) {
            Point user = i == n && std::fabs(sweep) == 360
                             ? userStart
                             : pointAround(userCenter, userStart, sweep * i / n);
            p = bounded(scaling_.toPlotter(user));
            out.lineTo(p);
        }
        return p;
    }
    ArcPieces arc = arcPieces(userCenter, userStart, sweep);
    for (int i = 0; i < arc.count; ++i) {
        const CurvePiece& piece = arc.piece[i];
        out.curveTo(bounded(scaling_.toPlotter(piece.c1)), bounded(scaling_.toPlotter(piece.c2)),
                    bounded(scaling_.toPlotter(piece.end)));
    }
    return bounded(scaling_.toPlotter(arc.piece[arc.count - 1].end));
}

// Draws (or, with the pen up, only follows) the arc from the current position around a centre in user
// units.
void Interpreter::drawArc(Point userCenter, double sweepDegrees, double chordDegrees)
{
    Point userStart = scaling_.toUser(position_);
    if (!arcHasLength(userCenter, userStart, sweepDegrees))
        return;
    if (!penDown_) {
        double sweep = std::clamp(sweepDegrees, -360.0, 360.0);
        moveTo(scaling_.toPlotter(std::fabs(sweep) == 360 ? userStart
                                                          : pointAround(userCenter, userStart, sweep)));
        return;
    }
    position_ = traceArc(sink(), userCenter, userStart, sweepDegrees, chordDegrees);
    carriageReturn_ = position_;
}

// AA x,y,sweep[,chord] / AR dx,dy,sweep[,chord]: an arc around an absolute or relative centre.
void Interpreter::arc(bool relative)
{
    double v[4];
    int n = scanner_.numbers(v, 4);
    if (n < 3)
        return;
    Point center{v[0], v[1]};
    if (relative) {
        Point user = scaling_.toUser(position_);
        center = {user.x + v[0], user.y + v[1]};
    }
    drawArc(center, v[2], chordAngle(v, n, 3));
}

// AT xi,yi,xe,ye / RT: the arc from the current position through an intermediate point to an end
// point; three points on one line give a straight line to the end.
void Interpreter::arcThreePoint(bool relative)
{
    double v[5];
    int n = scanner_.numbers(v, 5);
    if (n < 4)
        return;
    Point start = scaling_.toUser(position_);
    Point middle{v[0], v[1]}, end{v[2], v[3]};
    if (relative) {
        middle = {start.x + v[0], start.y + v[1]};
        end = {start.x + v[2], start.y + v[3]};
    }
    Point center;
    double sweep;
    if (!arcThroughPoints(start, middle, end, center, sweep)) {
        travelTo(scaling_.toPlotter(end));
        return;
    }
    drawArc(center, sweep, chordAngle(v, n, 4));
    position_ = bounded(scaling_.toPlotter(end)); // exactly where the file says the arc ends
    carriageReturn_ = position_;
}

// CI radius[,chord]: a full circle around the current position, drawn with the pen down whatever its
// state; the pen then comes back to the centre as it was. In polygon mode the circle is a
// sub-polygon of its own. A circle of no radius, or with parameters beyond the two, is not drawn.
void Interpreter::circle()
{
    double v[3];
    int n = scanner_.numbers(v, 3);
    if (n < 1 || n > 2)
        return;
    Point center = scaling_.toUser(position_);
    Point start{center.x + v[0], center.y};
    if (!arcHasLength(center, start, 360))
        return;
    if (polygonMode_)
        polygon_.startNextFigure();
    PathSink& out = sink();
    out.moveTo(bounded(scaling_.toPlotter(start)));
    traceArc(out, center, start, 360, chordAngle(v, n, 1));
    out.closeFigure();
    out.moveTo(position_);
}

// BZ / BR: cubic Beziers given as triples of points (two control points and the end), absolute or
// relative to the start of each curve. An incomplete triple is ignored.
void Interpreter::bezier(bool relative)
{
    double v[6];
    for (;;) {
        int n = 0;
        while (n < 6 && scanner_.number(v[n]))
            ++n;
        if (n < 6)
            return;
        Point p[3];
        for (int i = 0; i < 3; ++i) {
            Point given{v[2 * i], v[2 * i + 1]};
            p[i] = bounded(relative ? afterRelativeMove(given) : scaling_.toPlotter(given));
        }
        if (penDown_) {
            sink().curveTo(p[0], p[1], p[2]);
            position_ = p[2];
            carriageReturn_ = p[2];
        } else {
            moveTo(p[2]);
        }
    }
}

} // namespace hpgl
