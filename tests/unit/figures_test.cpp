// The figures, call by call: worked geometry, counts, and the limits of
// the 16-bit arithmetic.

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "fractals/press_figure.hpp"
#include "tests/support/trace_helpers.hpp"

namespace velmoran {
namespace {

using test::count;
using test::Lines;
using test::Recorder;
using test::trace;

TEST(Triangle, CountZeroAndOneOnA500By300Area)
{
    EXPECT_EQ(trace({"--size", "500", "300", "triangolo", "0"}),
              (Lines{"cls", "line 6 10 290 490 290 0x0050B4", "line 6 490 290 250 10 0x00C8C8",
                     "line 6 10 290 250 10 0x3232FA"}));
    EXPECT_EQ(trace({"--size", "500", "300", "triangolo", "1"}),
              (Lines{"cls",
                     "line 6 10 290 250 290 0x0050B4", "line 6 250 290 130 150 0x00C8C8",
                     "line 6 10 290 130 150 0x3232FA", "line 6 250 290 490 290 0x0050B4",
                     "line 6 490 290 370 150 0x00C8C8", "line 6 250 290 370 150 0x3232FA",
                     "line 6 130 150 370 150 0x0050B4", "line 6 370 150 250 10 0x00C8C8",
                     "line 6 130 150 250 10 0x3232FA", "doevents"}));
}

TEST(Triangle, MidpointsComeThroughTheRoundedCentroid)
{
    // The exact midpoint would be 3169.5 and draw at 3170; through the
    // centroid stored as a float it is 3169.49976 and draws at 3169.
    const Lines got = trace({"--size", "6214", "6339", "triangolo", "1"});
    ASSERT_EQ(got.size(), 11u);
    EXPECT_EQ(got[1], "line 6 10 6329 3107 6329 0x0050B4");
    EXPECT_EQ(got[2], "line 6 3107 6329 1558 3169 0x00C8C8");
    EXPECT_EQ(got[5], "line 6 6204 6329 4656 3169 0x00C8C8");
    EXPECT_EQ(got[7], "line 6 1558 3169 4656 3169 0x0050B4");
}

TEST(Triangle, UnroundedCornersAreRoundedOnlyWhenDrawn)
{
    Recorder r;
    subdivideTriangle<Int16>(r.canvas, 0, 0.5f, 1.5f, 2.5f, -0.25f, 1e30f, -3.5f);
    EXPECT_EQ(r.text(), (Lines{"line 6 0 2 2 -0 0x0050B4", "line 6 2 -0 1.00000002e+30 -4 0x00C8C8",
                               "line 6 0 2 1.00000002e+30 -4 0x3232FA"}));
}

// Where the corners of a triangle's descendants round to on one axis, by
// the table of step spreads and the pruned descent, against every corner of
// the full descent: around ties, a corner a step off one, shapes a few steps
// wide in several binades, one straddling a binade's end, and a part of the
// window's triangle a pixel wide.
TEST(Triangle, UnitsReachedAreThoseOfEveryCornerBelow)
{
    using namespace triangle_detail;
    // Every shape, the lowest of either parity in each place: a level
    // below the settled one changes nothing, and no spread passes a step.
    StepSpreads& table = StepSpreads::table();
    for (std::int64_t low : {0, 1})
        for (std::int64_t a = low; a <= low + StepSpreads::kWidest; ++a)
            for (std::int64_t b = low; b <= low + StepSpreads::kWidest; ++b)
                for (const auto& v : {std::array{low, a, b}, std::array{a, low, b}, std::array{a, b, low}}) {
                    const auto settled = table.spread(StepSpreads::kSettled, v[0], v[1], v[2]);
                    const auto below = table.spread(StepSpreads::kSettled + 1, v[0], v[1], v[2]);
                    ASSERT_EQ(std::pair(settled.below, settled.above), std::pair(below.below, below.above))
                        << v[0] << ',' << v[1] << ',' << v[2];
                    ASSERT_LE(std::max(below.below, below.above), 1) << v[0] << ',' << v[1] << ',' << v[2];
                }

    struct Full {
        int low = INT_MAX, high = INT_MIN;
        Coord lowest = INFINITY, highest = -INFINITY;
        void descend(int levels, Coord a, Coord b, Coord c)
        {
            for (Coord v : {a, b, c}) {
                low = std::min(low, static_cast<int>(whole(v)));
                high = std::max(high, static_cast<int>(whole(v)));
                lowest = std::min(lowest, v);
                highest = std::max(highest, v);
            }
            if (levels > 0)
                for (const auto& p : cornerTrianglesOnAxis<InDouble>(a, b, c))
                    descend(levels - 1, p[0], p[1], p[2]);
        }
    };
    const Coord step = std::nextafter(238.5f, 1e9f) - 238.5f;
    const Coord rows[][3] = {
        {238.5f, 238.5f + step, 238.5f + 2 * step},
        {238.5f + step, 238.5f + step, 238.5f + 2 * step},  // spreads down onto the tie
        {238.5f - step, 238.5f - step, 238.5f},
        {238.5f - 2 * step, 238.5f + step, 238.5f - step},
        {372.5f + step, 372.5f + 2 * step, 372.5f + step},
        {3.5f, std::nextafter(3.5f, 9.f), std::nextafter(3.5f, 0.f)},
        {3.5f - 8 * step / 64, 3.5f - 4 * step / 64, 3.5f - 4 * step / 64},  // spreads up onto it
        {4095.5f, std::nextafter(4095.5f, 9e3f), 4095.5f},
        {std::nextafter(512.f, 0.f), 512.f, std::nextafter(512.f, 1e3f)},
        {238.261719f, 238.867188f, 238.564453f},
        {372.597717f, 372.597717f, 371.679749f},
        {238.5f - 300 * step, 238.5f, 238.5f + step},  // wide, two corners at its top
    };
    for (const auto& r : rows)
        for (int levels : {1, 3, 6, 10}) {
            Full full;
            full.descend(levels, r[0], r[1], r[2]);
            UnitsReachedCache known;
            const UnitRange reached = unitsReached(static_cast<Int16>(levels), r[0], r[1], r[2], known);
            EXPECT_EQ(std::pair(reached.low, reached.high), std::pair(full.low, full.high))
                << r[0] << ' ' << r[1] << ' ' << r[2] << " at " << levels;
            const auto [first, last] = reachBounds(static_cast<Int16>(levels), r[0], r[1], r[2]);
            EXPECT_TRUE(first <= full.lowest && last >= full.highest) << r[0] << ' ' << r[1] << " at " << levels;
        }
}

// The units a range of values rounds to, quick where it lies from a half
// to 32767, against the rounding functions, at ties and at the ends.
TEST(Triangle, UnitsBetweenRoundEitherWayAtATie)
{
    using namespace triangle_detail;
    const double rows[][2] = {{0.5, 0.5},   {1.0, 1.0},         {1.5, 2.5},         {0.75, 0.25},
                              {-3.5, 2.25}, {32766.4, 32766.9}, {32766.5, 32767.5}, {100.0000001, 200.4999999}};
    for (const auto& r : rows) {
        const UnitRange units = unitsBetween(r[0], r[1]);
        EXPECT_EQ(std::pair(units.low, units.high),
                  std::pair(static_cast<int>(std::ceil(r[0] - 0.5)), static_cast<int>(std::floor(r[1] + 0.5))))
            << r[0] << " to " << r[1];
    }
}

// A leaf's writes as the walks back read them are what sides() draws,
// reversed, each side from its first corner to its second, the first
// side's ends drawn over: the two must change together.
TEST(Triangle, LeafWritesLastFirstAreItsSidesReversed)
{
    using namespace triangle_detail;
    using Write = std::tuple<Coord, Coord, Colour>;
    struct Ends {
        std::vector<Write> writes;  // each line's end pixels, in drawing order
        void drawLine(LineKind, Coord x1, Coord y1, Coord x2, Coord y2, Colour colour)
        {
            writes.emplace_back(x1, y1, colour);
            writes.emplace_back(x2, y2, colour);
        }
    } drawn;
    sides(drawn, Coord{1}, Coord{2}, Coord{3}, Coord{4}, Coord{5}, Coord{6});
    std::reverse(drawn.writes.begin(), drawn.writes.end());
    std::vector<Write> lastFirst;
    leafWritesLastFirst(1, 2, 3, 4, 5, 6, [&](Coord x, Coord y, Colour c) { lastFirst.emplace_back(x, y, c); });
    ASSERT_EQ(drawn.writes.size(), lastFirst.size() + 2);
    EXPECT_EQ(std::vector<Write>(drawn.writes.begin(), drawn.writes.begin() + 4), lastFirst);
    for (std::size_t i = 4; i < drawn.writes.size(); ++i)
        EXPECT_TRUE(std::any_of(lastFirst.begin(), lastFirst.end(), [&](const Write& w) {
            return std::get<0>(w) == std::get<0>(drawn.writes[i]) && std::get<1>(w) == std::get<1>(drawn.writes[i]);
        })) << "the first side's write " << i << " is not drawn over";
}

// What a part leaves, as the shared table keeps it by shape, against its
// leaves walked back one by one: a tiny part, and a part of any width along
// its row or column. Each pair of rows has the same shape beside a unit of
// each parity, the corners spreading onto the edge between units, where a
// tie rounds to the even one.
TEST(Triangle, PartsKeptByShapeLeaveWhatTheirLeavesLeave)
{
    using namespace triangle_detail;
    using Cell = std::tuple<int, int, Colour>;
    struct Walk {
        std::vector<Cell> cells;  // most recent first, one a unit cell
        void back(int levels, const std::array<Coord, 3>& xs, const std::array<Coord, 3>& ys)
        {
            if (levels == 0) {
                leafWritesLastFirst(xs[0], ys[0], xs[1], ys[1], xs[2], ys[2], [&](Coord x, Coord y, Colour c) {
                    const int cx = static_cast<int>(whole(x)), cy = static_cast<int>(whole(y));
                    if (std::none_of(cells.begin(), cells.end(), [&](const Cell& k) {
                            return std::get<0>(k) == cx && std::get<1>(k) == cy;
                        }))
                        cells.emplace_back(cx, cy, c);
                });
                return;
            }
            const auto px = cornerTrianglesOnAxis<InDouble>(xs[0], xs[1], xs[2]);
            const auto py = cornerTrianglesOnAxis<InDouble>(ys[0], ys[1], ys[2]);
            for (int i = 2; i >= 0; --i)
                back(levels - 1, px[i], py[i]);
        }
    };
    // The kept writes as cells; along a column, dx runs down it.
    auto cellsOf = [](const CellWrites& kept, int column, int row, bool down) {
        std::vector<Cell> cells;
        for (unsigned i = 0; i < kept.count; ++i) {
            const auto& w = kept.writes[i];
            cells.emplace_back(column + (down ? w.dy : w.dx), row + (down ? w.dx : w.dy), w.colour());
        }
        return cells;
    };
    const Coord step = std::nextafter(238.5f, 1e9f) - 238.5f;
    // The last three are not tiny: two units wide, and three.
    const std::array<Coord, 3> offsets[] = {{1, 1, 2},        {-1, -1, 0},          {-3, 1, 0},
                                            {-3, -1, 3},      {-3000, 1, 9000},     {-1, -40000, 20000},
                                            {-70000, 0, 70000}};
    for (const auto& o : offsets)
        for (Coord edge : {238.5f, 239.5f})
            for (bool onY : {false, true})
                for (int levels : {0, 2, 6, 9}) {
                    std::array<Coord, 3> across, along;
                    for (int i = 0; i < 3; ++i) {
                        across[i] = edge + o[i] * step;
                        along[i] = 300.25f + static_cast<Coord>(i) * step;
                    }
                    const auto& xs = onY ? along : across;
                    const auto& ys = onY ? across : along;
                    Walk walk;
                    walk.back(levels, xs, ys);
                    const auto depth = static_cast<Int16>(levels);
                    const auto x = PartWrites::tinyAxis(xs[0], xs[1], xs[2]);
                    const auto y = PartWrites::tinyAxis(ys[0], ys[1], ys[2]);
                    const Coord cx[3] = {xs[0], xs[1], xs[2]}, cy[3] = {ys[0], ys[1], ys[2]};
                    if (x && y) {
                        EXPECT_EQ(cellsOf(PartWrites::tinyWrites(depth, cx, cy, *x, *y),
                                          static_cast<int>(x->unit), static_cast<int>(y->unit), false),
                                  walk.cells)
                            << edge << (onY ? " down" : " across") << " at " << levels;
                    }
                    const Coord line[3] = {across[0], across[1], across[2]};
                    const auto v = PartWrites::lineAxis(depth, line[0], line[1], line[2]);
                    ASSERT_TRUE(v);
                    const int unit = static_cast<int>(v->unit), other = static_cast<int>(whole(along[0]));
                    EXPECT_EQ(cellsOf(PartWrites::lineWrites(depth, line, *v), onY ? other : unit,
                                      onY ? unit : other, onY),
                              walk.cells)
                        << edge << (onY ? " down" : " across") << " at " << levels << " along its line";
                }
}

TEST(Triangle, DoublePrecisionOnlyWhereItDrawsTheSameFigure)
{
    using namespace triangle_detail;
    constexpr Coord kNaN = std::numeric_limits<Coord>::quiet_NaN();
    struct Row {
        Coord corners[3][2];
        bool inDouble;
    };
    const Row rows[] = {
        {{{10, 480}, {630, 480}, {320, 10}}, true},  // the window's
        {{{10, 6329}, {6204, 6329}, {3107, 10}}, true},
        // Right at the bounds: a margin of 32743 * 4096 * 3 / 2^24 = 23.98
        // leaves 25 - 23.98 >= 1 and 32743 + 23.98 <= 32767.
        {{{25, 25}, {32743, 25}, {32743, 32743}}, true},
        {{{24.5f, 25}, {32743, 25}, {32743, 32743}}, false},
        {{{25, 25}, {32744, 25}, {32743, 32743}}, false},
        {{{10, 0.5f}, {630, 480}, {320, 10}}, false},
        {{{-10, 480}, {630, 480}, {320, 10}}, false},
        {{{10, 480}, {kNaN, 480}, {320, 10}}, false},
    };
    for (const Row& r : rows) {
        const auto& v = r.corners;
        EXPECT_EQ(inDoubleIsExact(v), r.inDouble) << v[0][0] << ',' << v[0][1];
        if (!r.inDouble)
            continue;
        Recorder inDouble, extended;
        subdivideTriangle<Int16, InDouble>(inDouble.canvas, 7, v[0][0], v[0][1], v[1][0], v[1][1], v[2][0], v[2][1]);
        subdivideTriangle<Int16, Extended>(extended.canvas, 7, v[0][0], v[0][1], v[1][0], v[1][1], v[2][0], v[2][1]);
        EXPECT_EQ(inDouble.text(), extended.text()) << v[0][0] << ',' << v[0][1];
    }
    // Why the bounds: beside corners past 2^24, extended precision keeps a
    // corner of 3e-9 that double loses, and the midpoint moves by two units.
    const Coord c = Extended::centroid(3e-9f, 14320049, 23217852);
    EXPECT_EQ(whole(Extended::midpoint(c, 3e-9f)), 18768950);
    EXPECT_EQ(whole(InDouble::midpoint(c, 3e-9f)), 18768952);
}

TEST(Counts, EveryFigureGrowsAsItsRuleSays)
{
    struct Row {
        const char* figure;
        const char* count;
        long long segments, boxes, yields, drawingColourCalls, solidLineCalls;
    };
    const Row rows[] = {
        {"triangolo", "0", 3, 0, 0, 0, 0},
        {"triangolo", "1", 9, 0, 1, 0, 0},
        {"triangolo", "2", 27, 0, 4, 0, 0},
        {"triangolo", "5", 729, 0, 121, 0, 0},
        {"triangolo", "10", 177147, 0, 29524, 0, 0},
        {"tappeto", "0", 0, 1, 0, 0, 1},
        {"tappeto", "3", 0, 512, 73, 0, 512},
        {"tappeto", "6", 0, 262144, 37449, 0, 262144},
        {"trina", "0", 1, 0, 0, 1, 0},
        {"trina", "2", 16, 0, 5, 21, 0},
        {"trina", "10", 1048576, 0, 349525, 1398101, 0},
        {"fiocco", "0", 3, 0, 0, 3, 0},
        {"fiocco", "1", 12, 0, 3, 15, 0},
        {"fiocco", "2", 48, 0, 15, 63, 0},
        {"fiocco", "10", 3145728, 0, 1048575, 4194303, 0},
    };
    for (const Row& r : rows) {
        const auto c = count({r.figure, r.count});
        EXPECT_EQ(std::tuple(c.clears, c.errors, c.segments, c.boxes, c.yields, c.drawingColourCalls, c.solidLineCalls),
                  std::tuple(1, 0, r.segments, r.boxes, r.yields, r.drawingColourCalls, r.solidLineCalls))
            << r.figure << ' ' << r.count;
    }
    for (const FigureInfo& figure : kFigures)
        EXPECT_TRUE(std::any_of(std::begin(rows), std::end(rows),
                                [&](const Row& r) { return std::string_view(r.figure) == figure.traceWord; }))
            << figure.traceWord << " has no rows";
}

TEST(Curve, CountOneOnA500By300Area)
{
    EXPECT_EQ(trace({"--size", "500", "300", "trina", "1"}),
              (Lines{"cls", "forecolor 0x0050C8", "forecolor 0x0050C8",
                     "line 4 10 150 170 150 0x000000", "forecolor 0x0050C8",
                     "line 4 170 150 250 12 0x000000", "forecolor 0x0050C8",
                     "line 4 250 12 330 150 0x000000", "forecolor 0x0050C8",
                     "line 4 330 150 490 150 0x000000", "doevents"}));
}

TEST(Curve, TiesGoToTheEvenNeighbour)
{
    struct Row {
        const char* height;
        const char* apex;  // the second segment, up to the bump's top
    };
    const Row rows[] = {
        {"301", "line 4 170 150 250 12 0x000000"},  // 150.5 -> 150
        {"302", "line 4 170 151 250 12 0x000000"},  // apex 12.5 -> 12
        {"303", "line 4 170 152 250 14 0x000000"},  // 151.5 -> 152
    };
    for (const Row& r : rows) {
        const Lines got = trace({"--size", "500", r.height, "trina", "1"});
        ASSERT_EQ(got.size(), 11u);
        EXPECT_EQ(got[5], r.apex) << r.height;
    }
}

TEST(Curve, TheBumpStandsLeftOfTheDirectionOfTravel)
{
    struct Row {
        Int16 x1, y1, x2, y2;
        Lines segments;
    };
    const Row rows[] = {
        {490, 150, 10, 150,  // right to left: the bump points down
         {"line 4 490 150 330 150 0x000000", "line 4 330 150 250 288 0x000000",
          "line 4 250 288 170 150 0x000000", "line 4 170 150 10 150 0x000000"}},
        {100, 10, 100, 490,  // top to bottom: the bump points right
         {"line 4 100 10 100 170 0x000000", "line 4 100 170 238 250 0x000000",
          "line 4 238 250 100 330 0x000000", "line 4 100 330 100 490 0x000000"}},
        {7, 7, 7, 7,  // a point stays a point, four times
         {"line 4 7 7 7 7 0x000000", "line 4 7 7 7 7 0x000000", "line 4 7 7 7 7 0x000000",
          "line 4 7 7 7 7 0x000000"}},
    };
    for (const Row& r : rows) {
        Recorder rec;
        subdivideSegment<Int16>(rec.canvas, 1, r.x1, r.y1, r.x2, r.y2);
        Lines got = rec.text();
        got.erase(std::remove(got.begin(), got.end(), "forecolor 0x0050C8"), got.end());
        got.erase(std::remove(got.begin(), got.end(), "doevents"), got.end());
        EXPECT_EQ(got, r.segments) << r.x1 << ',' << r.y1 << " to " << r.x2 << ',' << r.y2;
    }
}

TEST(Curve, AnAreaTooWideForTheCountOverflowsDuringTheDrawing)
{
    // The widest end point each count can take: 2x + x2 must fit for points
    // x ever closer to x2.
    struct Row {
        const char* count;
        int widestEnd;
    };
    const Row rows[] = {{"1", 16378}, {"2", 12286}, {"3", 11342}, {"4", 11058}};
    for (const Row& r : rows) {
        const auto fits = std::to_string(r.widestEnd + 10);
        const auto tooWide = std::to_string(r.widestEnd + 11);
        EXPECT_EQ(count({"--size", fits, "300", "trina", r.count}).errors, 0) << r.count;
        const Lines failed = trace({"--size", tooWide, "300", "trina", r.count});
        EXPECT_EQ(failed.back(), "error overflow") << r.count;
        EXPECT_NE(std::find(failed.begin(), failed.end(), "cls"), failed.end());
    }
    // Mid-height: 3y must fit.
    EXPECT_EQ(count({"--size", "600", "21844", "trina", "1"}).errors, 0);
    EXPECT_EQ(trace({"--size", "600", "21846", "trina", "1"}).back(), "error overflow");
    // At count 0 only the handler's conversions can fail.
    EXPECT_EQ(count({"--size", "32777", "300", "trina", "0"}).errors, 0);
    EXPECT_EQ(trace({"--size", "32778", "300", "trina", "0"}), (Lines{"cls", "error overflow"}));
}

TEST(Curve, InnerPointsInIntegersAgreeWithTheDoubleRule)
{
    using namespace koch_detail;
    // The apex as its double steps compute it.
    auto apexByTheRule = [](Int16 a, Int16 b, Int16 riseFrom, Int16 riseTo, bool subtract) {
        const double halfSum = add(a, b) / 2.0;
        const double offset = roundHalfEven(sub(riseTo, riseFrom) * std::sqrt(3)) / 6;
        return toInt16(subtract ? halfSum - offset : halfSum + offset);
    };
    std::vector<int> rises;
    for (int d = -400; d <= 400; ++d)
        rises.push_back(d);
    for (int d : {-32768, -32767, -20000, -9999, 9999, 20000, 32766, 32767})
        rises.push_back(d);
    for (int sum = -32768; sum <= 32767; sum += 5) {
        const auto a = static_cast<Int16>(sum / 2), b = static_cast<Int16>(sum - sum / 2);
        for (int d : rises) {
            const auto to = static_cast<Int16>(d < 0 ? 32767 + d + 1 : d);
            const auto from = static_cast<Int16>(d < 0 ? 32767 : 0);
            for (bool subtract : {false, true})
                ASSERT_EQ(apex(a, b, from, to, subtract), apexByTheRule(a, b, from, to, subtract))
                    << a << '+' << b << " rise " << d << (subtract ? " -" : " +");
        }
    }
}

TEST(Curve, APointStaysAPointWhileThreeTimesItFits)
{
    struct Row {
        Int16 x, y;
        const char* segment;  // nullptr: the overflow error
    };
    const Row rows[] = {
        {10922, -10922, "line 4 10922 -10922 10922 -10922 0x000000"},
        {-10922, 0, "line 4 -10922 0 -10922 0 0x000000"},
        {10923, 0, nullptr},
        {0, -10923, nullptr},
    };
    for (const Row& r : rows) {
        Recorder rec;
        bool overflowed = false;
        try {
            subdivideSegment<Int16>(rec.canvas, 2, r.x, r.y, r.x, r.y);
        } catch (const RuntimeError& e) {
            overflowed = e.kind() == ErrorKind::Overflow;
        }
        const Lines got = rec.text();
        if (!r.segment) {
            EXPECT_TRUE(overflowed) << r.x << ',' << r.y;
            continue;
        }
        EXPECT_EQ(std::count(got.begin(), got.end(), r.segment), 16) << r.x << ',' << r.y;
        EXPECT_EQ(got.size(), 16u + 21u + 5u) << r.x << ',' << r.y;  // segments, colours, yieldToEvents
    }
}

TEST(Snowflake, CountOneIsASixPointedStar)
{
    Lines got = trace({"fiocco", "1"});
    got.erase(std::remove(got.begin(), got.end(), "forecolor 0x0050C8"), got.end());
    EXPECT_EQ(got, (Lines{"cls",
                          "line 4 150 120 263 120 0x000000", "line 4 263 120 320 22 0x000000",
                          "line 4 320 22 377 120 0x000000", "line 4 377 120 490 120 0x000000",
                          "doevents",
                          "line 4 490 120 433 218 0x000000", "line 4 433 218 490 316 0x000000",
                          "line 4 490 316 377 316 0x000000", "line 4 377 316 320 414 0x000000",
                          "doevents",
                          "line 4 320 414 263 316 0x000000", "line 4 263 316 150 316 0x000000",
                          "line 4 150 316 207 218 0x000000", "line 4 207 218 150 120 0x000000",
                          "doevents"}));
    // The area's size plays no part.
    EXPECT_EQ(trace({"--size", "50", "70000", "fiocco", "1"}), trace({"fiocco", "1"}));
}

TEST(Carpet, CountOneLeavesTheCentreEmpty)
{
    Lines boxes;
    for (const auto& line : trace({"--size", "640", "343", "tappeto", "1"}))
        if (line.rfind("line", 0) == 0)
            boxes.push_back(line);
    EXPECT_EQ(boxes, (Lines{"line 38 150 50 231 131 0x0050C8", "line 38 312 50 393 131 0x0050C8",
                            "line 38 312 212 393 293 0x0050C8", "line 38 150 212 231 293 0x0050C8",
                            "line 38 231 50 312 131 0x0050C8", "line 38 312 131 393 212 0x0050C8",
                            "line 38 231 212 312 293 0x0050C8", "line 38 150 131 231 212 0x0050C8"}));
    EXPECT_EQ(trace({"--size", "640", "343", "tappeto", "0"}),
              (Lines{"cls", "drawstyle 0", "line 38 150 50 393 293 0x0050C8"}));
}

TEST(Carpet, CellsFollowTheIntegerThirdsOfTheSide)
{
    struct Row {
        Int16 side;
        Lines boxes;  // the first three cells: top-left, top-right, bottom-right
    };
    const Row rows[] = {
        {100, {"line 38 0 0 33 33 0x0050C8", "line 38 67 0 100 33 0x0050C8",
               "line 38 67 67 100 100 0x0050C8"}},  // a one-unit strip at 33..34
        {101, {"line 38 0 0 34 34 0x0050C8", "line 38 67 0 101 34 0x0050C8",
               "line 38 67 67 101 101 0x0050C8"}},  // a one-unit overlap at 67..68
        {-10, {"line 38 0 0 -3 -3 0x0050C8", "line 38 -7 0 -10 -3 0x0050C8",
               "line 38 -7 -7 -10 -10 0x0050C8"}},  // laid out up and to the left
        {0, {"line 38 0 0 0 0 0x0050C8", "line 38 0 0 0 0 0x0050C8", "line 38 0 0 0 0 0x0050C8"}},
    };
    for (const Row& r : rows) {
        Recorder rec;
        subdivideSquare<Int16>(rec.canvas, 1, 0, 0, r.side);
        Lines boxes;
        for (const auto& line : rec.text())
            if (line.rfind("line", 0) == 0)
                boxes.push_back(line);
        ASSERT_EQ(boxes.size(), 8u) << r.side;
        boxes.resize(3);
        EXPECT_EQ(boxes, r.boxes) << r.side;
    }
}

TEST(Carpet, CellsInIntegersAgreeWithTheDoubleRule)
{
    // The eight corners and the side as the double expressions give them;
    // nullopt where one of them overflows.
    auto byTheRule = [](Int16 x1, Int16 y1, Int16 side) -> std::optional<std::vector<int>> {
        auto corner = [](double offset, Int16 origin) { return int{toInt16(checkedFp(offset + origin))}; };
        try {
            const int xR = corner(2.0 / 3.0 * side, x1), yB = corner(2.0 / 3.0 * side, y1);
            const int xM = corner(side / 3.0, x1), xR2 = corner(mul(2, side) / 3.0, x1);
            const int yM = corner(side / 3.0, y1), xM2 = corner(side / 3.0, x1);
            const int yB2 = corner(mul(2, side) / 3.0, y1), yM2 = corner(side / 3.0, y1);
            return std::vector<int>{x1, y1, xR, y1,  xR,  yB,  x1, yB,  xM,
                                    y1, xR2, yM, xM2, yB2, x1, yM2, toInt16(side / 3.0)};
        } catch (const RuntimeError&) {
            return std::nullopt;
        }
    };
    auto inIntegers = [](Int16 x1, Int16 y1, Int16 side) -> std::optional<std::vector<int>> {
        try {
            const auto corners = carpet_detail::cellCorners(x1, y1, side);
            std::vector<int> out;
            for (const auto& cell : corners.cells)
                out.insert(out.end(), {cell[0], cell[1]});
            out.push_back(carpet_detail::cellSide(side));
            return out;
        } catch (const RuntimeError&) {
            return std::nullopt;
        }
    };
    // Every side that can be doubled; beyond, and from the ends of the range
    // (where nearly every cell overflows), a sample.
    struct Sweep {
        std::vector<Int16> origins;
        int from, to, step;
    };
    const Sweep sweeps[] = {
        {{-21846, 0, 150, 21845}, -16400, 16400, 1},
        {{-32768, -21846, 0, 150, 21845, 32767}, -32768, 32767, 37},
    };
    for (const Sweep& sweep : sweeps)
        for (int length = sweep.from; length <= sweep.to; length += sweep.step)
            for (std::size_t i = 0; i < sweep.origins.size(); ++i) {
                const Int16 x1 = sweep.origins[i], y1 = sweep.origins[sweep.origins.size() - 1 - i];
                const auto side = static_cast<Int16>(length);
                ASSERT_EQ(inIntegers(x1, y1, side), byTheRule(x1, y1, side))
                    << x1 << ',' << y1 << " side " << length;
            }
}

TEST(Carpet, LimitsOfTheStartSide)
{
    // A start side of 16384 cannot be doubled: nothing is drawn.
    EXPECT_EQ(trace({"--size", "640", "16484", "tappeto", "1"}), (Lines{"cls", "error overflow"}));
    EXPECT_EQ(count({"--size", "640", "16483", "tappeto", "1"}).errors, 0);
    // At count 0 the box's far corner must fit.
    EXPECT_EQ(trace({"--size", "640", "32767", "tappeto", "0"}),
              (Lines{"cls", "drawstyle 0", "error overflow"}));
    // A drawing area less than 100 high gives a negative side.
    EXPECT_EQ(trace({"--size", "640", "90", "tappeto", "0"}),
              (Lines{"cls", "drawstyle 0", "line 38 150 50 140 40 0x0050C8"}));
    // The start side itself out of range.
    EXPECT_EQ(trace({"--size", "640", "40000", "tappeto", "0"}), (Lines{"cls", "error overflow"}));
}

// A press nested inside a drawing stores its count, which the interrupted
// figure's top-level invocation rereads before each part it has not begun:
// the triangle's corners, the carpet's cells, the curve's four sub-curves,
// each side of the snowflake. Parts already begun keep their own depth.
TEST(NestedPress, ChangesTheDepthOfTheTopLevelPartsNotYetBegun)
{
    struct Row {
        std::vector<std::string> args;
        long long lines, yields;
    };
    const Row rows[] = {
        // Inside the first corner (depth 2): it finishes at its own depth,
        // the other two take depth 0.
        {{"--at", "1", "triangolo", "1", "triangolo", "3"}, 27 + 9 + 3 + 3, 4 + 1 + 1},
        // Inside the first corner's sub-triangles: they keep their depth.
        {{"--at", "2", "triangolo", "0", "triangolo", "3"}, 27 + 3, 4 + 1},
        // The first cell at depth 1, then -1 for the seven others.
        {{"--at", "1", "tappeto", "0", "tappeto", "2"}, 8 + 1, 1 + 1},
        // The first sub-curve at depth 1, then -1 for the three others.
        {{"--at", "1", "trina", "0", "trina", "2"}, 4 + 1, 1 + 1},
        // A deeper count deepens them: depth 2 for the three others.
        {{"--at", "1", "trina", "3", "trina", "2"}, 4 + 64 + 3 * 16, 1 + 21 + 3 * 5 + 1},
        // During the top side (depth 3): its first sub-curve at depth 2, its
        // three others at depth 0, then the other two sides at depth 1.
        {{"--at", "1", "fiocco", "1", "fiocco", "3"}, 16 + 12 + 3 + 2 * 4, 5 + 3 + 1 + 2},
        // During the right side (calls 6 to 10): the top side whole, then
        // the rest of the right side and the left side from the new count.
        {{"--at", "6", "fiocco", "0", "fiocco", "2"}, 16 + 4 + 3 + 1, 5 + 1 + 1},
        {{"--at", "6", "fiocco", "1", "fiocco", "2"}, 16 + 4 + 12 + 3 + 4, 5 + 1 + 3 + 1 + 1},
        // During the left side (calls 11 to 15).
        {{"--at", "11", "fiocco", "0", "fiocco", "2"}, 16 + 16 + 4 + 3, 5 + 5 + 1 + 1},
    };
    for (const Row& r : rows) {
        const auto c = count(r.args);
        EXPECT_EQ(std::tuple(c.clears, c.errors, c.segments + c.boxes, c.yields), std::tuple(2, 0, r.lines, r.yields))
            << testing::PrintToString(r.args);
    }
}

TEST(NestedPress, OfZeroLeavesTheTriangleCornersNotYetBegunEmpty)
{
    // The first corner is drawn at depth 1 (nine segments, then its yield);
    // the press of "0" there leaves -1 for the two other corners, which draw
    // nothing. Only the top level's own yield follows.
    const Lines zero = trace({"--at", "1", "triangolo", "0", "triangolo", "2"});
    ASSERT_EQ(zero.size(), 16u);
    EXPECT_EQ(zero[10], "doevents");
    Lines nested = trace({"triangolo", "0"});
    nested.push_back("doevents");
    EXPECT_EQ(Lines(zero.begin() + 11, zero.end()), nested);
}

}  // namespace
}  // namespace velmoran
