#include "output/CurveSplit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

// A curve along the chord (0, 0) - (1000, 0) whose end directions make the given angles with it.
Bezier curveWithEndAngles(double start, double end, double length = 100)
{
    return {{0, 0},
            {static_cast<float>(length * std::cos(start)), static_cast<float>(length * std::sin(start))},
            {static_cast<float>(1000 - length * std::cos(end)), static_cast<float>(length * std::sin(end))},
            {1000, 0}};
}

void expectSameAsTheAngles(const Bezier& curve, float accuracy)
{
    const float limit = accuracy * 0.01745327777777778f;
    EXPECT_EQ(CurveSplit(accuracy).ratio(curve), curveSplitRatioByAngles(curve, limit))
        << curve.p0.x << "," << curve.p0.y << " " << curve.p1.x << "," << curve.p1.y << " " << curve.p2.x
        << "," << curve.p2.y << " " << curve.p3.x << "," << curve.p3.y << " accuracy " << accuracy;
}

} // namespace

TEST(CurveSplitTest, CosinesDecideAsTheArcTangentsDoEvenAtTheLimitAndAtTheEvenSplit)
{
    for (float accuracy : {0.5f, 2.0f, 5.0f, 45.0f}) {
        const double limit = accuracy * 0.01745327777777778;
        // End angles stepping across the limit in steps far below the margin.
        for (int k = -300; k <= 300; ++k) {
            const double angle = limit + k * 1e-7;
            expectSameAsTheAngles(curveWithEndAngles(angle, limit / 2), accuracy);
            expectSameAsTheAngles(curveWithEndAngles(limit / 3, angle, 7.5), accuracy);
            // Both beyond the limit, their difference stepping across the one degree of the even split.
            const double difference = 0.017453277 + k * 1e-7;
            expectSameAsTheAngles(curveWithEndAngles(limit + 0.1, limit + 0.1 + difference), accuracy);
            expectSameAsTheAngles(curveWithEndAngles(limit + 0.1 + difference, limit + 0.1), accuracy);
        }
    }
}

TEST(CurveSplitTest, AnyCurveIsSplitWhereTheArcTangentsSplitIt)
{
    std::mt19937 random(5);
    std::uniform_real_distribution<float> coordinate(-2000, 2000);
    std::uniform_int_distribution<int> pick(0, 9);
    for (int i = 0; i < 20000; ++i) {
        Bezier curve{{coordinate(random), coordinate(random)},
                     {coordinate(random), coordinate(random)},
                     {coordinate(random), coordinate(random)},
                     {coordinate(random), coordinate(random)}};
        // Control points on an end, straight lines, directions exactly reversed and points that are not
        // numbers: the cases the arc tangents define by convention.
        switch (pick(random)) {
        case 0:
            curve.p1 = curve.p0;
            break;
        case 1:
            curve.p2 = curve.p3;
            break;
        case 2:
            curve.p1 = {2 * curve.p0.x - curve.p3.x, 2 * curve.p0.y - curve.p3.y};
            break;
        case 3:
            curve.p2.x = NAN;
            break;
        case 4:
            curve.p3 = curve.p0;
            break;
        default:
            break;
        }
        expectSameAsTheAngles(curve, 2.0f);
    }
}
