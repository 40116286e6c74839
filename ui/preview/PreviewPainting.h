#pragma once

#include "geometry/CMatrix.h"

class CPlot;
class QPainter;
class QRect;

// Turns the plot upside down, pending transform baked in: up in the plot becomes up on the screen, where
// y grows downwards. A second turn puts it back.
void turnUpsideDown(CPlot& plot);

// The picture of the detail preview inside its area: plot units from the view's top-left corner scaled to
// pixels, one plot unit and five pixels in from the area's corner.
CMatrix previewMatrix(float viewLeft, float viewTop, float scale, int areaLeft, int areaTop);

// Frames and fills the area with the painter's pen and brush, then draws the plot (if any) into it with
// the preview matrix; segments outside the area are not drawn at all.
void paintPreview(QPainter& painter, const QRect& area, const CPlot* plot, float viewLeft, float viewTop,
                  float scale);
