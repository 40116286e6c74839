#include "filters/Arcs.h"
#include "filters/Interpreter.h"

namespace hpgl {

// Draws (or, with the pen up, only follows) the arc from the current position around a centre in user
// units, as Bezier pieces mapped to plotter units.
void Interpreter::drawArc(Point userCenter, double sweepDegrees)
{
    Point userStart = scaling_.toUser(position_);
    ArcPieces arc = arcPieces(userCenter, userStart, sweepDegrees);
    if (arc.count == 0)
        return;
    Point end = bounded(scaling_.toPlotter(arc.piece[arc.count - 1].end));
    if (!penDown_) {
        moveTo(end);
        return;
    }
    for (int i = 0; i < arc.count; ++i) {
        const CurvePiece& piece = arc.piece[i];
        sink().curveTo(scaling_.toPlotter(piece.c1), scaling_.toPlotter(piece.c2),
                       scaling_.toPlotter(piece.end));
    }
    position_ = end;
    carriageReturn_ = end;
}

// AA x,y,sweep / AR dx,dy,sweep: an arc around an absolute or relative centre. The chord
// tolerance that may follow does not apply to Bezier arcs.
void Interpreter::arc(bool relative)
{
    double v[4];
    if (scanner_.numbers(v, 4) < 3)
        return;
    Point center{v[0], v[1]};
    if (relative) {
        Point user = scaling_.toUser(position_);
        center = {user.x + v[0], user.y + v[1]};
    }
    drawArc(center, v[2]);
}

// AT xi,yi,xe,ye / RT: the arc from the current position through an intermediate point to an end
// point; three points on one line give a straight line to the end.
void Interpreter::arcThreePoint(bool relative)
{
    double v[5];
    if (scanner_.numbers(v, 5) < 4)
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
    drawArc(center, sweep);
    position_ = bounded(scaling_.toPlotter(end)); // exactly where the file says the arc ends
    carriageReturn_ = position_;
}

// CI radius: a full circle around the current position, drawn with the pen down whatever its state;
// the pen then comes back to the centre as it was.
void Interpreter::circle()
{
    double v[2];
    if (scanner_.numbers(v, 2) < 1 || v[0] == 0)
        return;
    Point center = scaling_.toUser(position_);
    Point start{center.x + v[0], center.y};
    ArcPieces arc = arcPieces(center, start, 360);
    Point centerUnits = position_;
    PathSink& out = sink();
    out.moveTo(scaling_.toPlotter(start));
    for (int i = 0; i < arc.count; ++i) {
        const CurvePiece& piece = arc.piece[i];
        out.curveTo(scaling_.toPlotter(piece.c1), scaling_.toPlotter(piece.c2),
                    scaling_.toPlotter(piece.end));
    }
    out.closeFigure();
    out.moveTo(centerUnits);
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
