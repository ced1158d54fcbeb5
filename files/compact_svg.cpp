#include "files/compact_svg.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace velmoran::ui {

namespace {

// The raster pulls a far end in to this many device pixels before it draws.
constexpr double kFar = 1e9;

std::int64_t pixelOf(double v) { return static_cast<std::int64_t>(std::floor(std::clamp(v, -kFar, kFar))); }

struct Pixel {
    std::int64_t x, y;
    bool operator==(const Pixel& o) const { return x == o.x && y == o.y; }
    bool operator<(const Pixel& o) const { return y != o.y ? y < o.y : x < o.x; }
};

bool nextTo(std::int64_t a, std::int64_t b) { return a - b >= -1 && a - b <= 1; }

// A stroke as the raster draws it: a line or box between pixel centres, or,
// where its ends are at most a pixel apart, the one to four pixels it inks,
// filled (the raster draws no more, and a renderer then picks no other).
struct Shape {
    QRgb colour;
    enum Kind { Fill, Line, Box } kind;
    Pixel a, b;  // a Fill covers the pixels from a to b
};

void appendShapes(const VectorStroke& stroke, std::vector<Shape>& shapes)
{
    const Pixel a{pixelOf(stroke.from.x()), pixelOf(stroke.from.y())};
    const Pixel b{pixelOf(stroke.to.x()), pixelOf(stroke.to.y())};
    const bool box = stroke.box && a.x != b.x && a.y != b.y;
    if (!nextTo(a.x, b.x) || !nextTo(a.y, b.y))
        shapes.push_back({stroke.colour, box ? Shape::Box : Shape::Line, a, b});
    else if (box || a.x == b.x || a.y == b.y)
        shapes.push_back({stroke.colour, Shape::Fill, {std::min(a.x, b.x), std::min(a.y, b.y)},
                          {std::max(a.x, b.x), std::max(a.y, b.y)}});
    else {
        // A diagonal step: the raster inks its two end pixels alone.
        shapes.push_back({stroke.colour, Shape::Fill, a, a});
        shapes.push_back({stroke.colour, Shape::Fill, b, b});
    }
}

// One path: strokes of one colour, or pixels filled in it.
struct Run {
    QRgb colour;
    bool fill;
    std::vector<Shape> strokes;
    std::vector<Pixel> pixels;
};

void number(std::string& d, std::int64_t v)
{
    // A minus sign separates numbers as well as a space does.
    if (v >= 0 && !d.empty() && std::isdigit(static_cast<unsigned char>(d.back())))
        d += ' ';
    d += std::to_string(v);
}

class Writer {
public:
    explicit Writer(QSize pixels)
        : width_(pixels.width()), height_(pixels.height()),
          lastRun_(static_cast<std::size_t>(std::max(0, width_ * height_)), -1),
          filledLater_(lastRun_.size(), false)
    {
    }

    // A pixel filled again later needs no fill before: found last first.
    void add(const std::vector<Shape>& shapes)
    {
        struct Kept {
            std::size_t shape;
            Pixel pixel;  // of a fill
        };
        std::vector<Kept> kept;
        for (std::size_t i = shapes.size(); i-- > 0;) {
            const Shape& s = shapes[i];
            if (s.kind != Shape::Fill) {
                kept.push_back({i, {}});
                continue;
            }
            for (std::int64_t y = s.a.y; y <= s.b.y; ++y)
                for (std::int64_t x = s.a.x; x <= s.b.x; ++x)
                    if (inside({x, y}) && !filledLater_[indexOf({x, y})]) {
                        filledLater_[indexOf({x, y})] = true;
                        kept.push_back({i, {x, y}});
                    }
        }
        for (auto k = kept.rbegin(); k != kept.rend(); ++k) {
            const Shape& s = shapes[k->shape];
            if (s.kind == Shape::Fill)
                addFill(s.colour, k->pixel);
            else
                addStroke(s);
        }
    }

    const std::vector<Run>& runs() const { return runs_; }

private:
    bool inside(Pixel p) const { return p.x >= 0 && p.y >= 0 && p.x < width_ && p.y < height_; }
    std::size_t indexOf(Pixel p) const { return static_cast<std::size_t>(p.y * width_ + p.x); }

    void addFill(QRgb colour, Pixel p)
    {
        footprint_.clear();
        footprint_.push_back(indexOf(p));
        runFor(colour, true, true).pixels.push_back(p);
    }

    void addStroke(const Shape& s)
    {
        footprint_.clear();
        const bool bounded = s.kind == Shape::Box ? outline(s.a, s.b) : segment(s.a, s.b);
        runFor(s.colour, false, bounded).strokes.push_back(s);
    }

    // The pixels a stroke inks inside the picture, into footprint_; false
    // where there are too many to look at (a line reaching far outside),
    // and the stroke is kept in order with every other.
    void mark(Pixel p)
    {
        if (inside(p))
            footprint_.push_back(indexOf(p));
    }
    bool segment(Pixel a, Pixel b)
    {
        const std::int64_t reach = std::max(width_, height_) + 2;
        if (std::llabs(a.x) > reach || std::llabs(a.y) > reach || std::llabs(b.x) > reach || std::llabs(b.y) > reach)
            return false;
        const std::int64_t dx = std::llabs(b.x - a.x), dy = -std::llabs(b.y - a.y);
        const std::int64_t sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
        std::int64_t err = dx + dy;
        for (Pixel p = a;;) {
            // A renderer may ink a pixel beside the raster's along a slope.
            for (int n = 0; n < kAround; ++n)
                mark({p.x - kAround / 6 + n % 3, p.y - kAround / 6 + n / 3});
            if (p == b)
                return true;
            const std::int64_t e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                p.x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                p.y += sy;
            }
        }
    }
    bool outline(Pixel a, Pixel b)
    {
        const Pixel c{a.x, b.y}, d{b.x, a.y};
        return segment(a, c) && segment(c, b) && segment(b, d) && segment(d, a);
    }

    // The latest run of the colour where nothing of another colour drawn
    // after it reaches the stroke's pixels; else a new one.
    Run& runFor(QRgb colour, bool fill, bool bounded)
    {
        auto latest = std::find_if(latest_.begin(), latest_.end(),
                                   [&](const Latest& l) { return l.colour == colour && l.fill == fill; });
        if (latest == latest_.end())
            latest = latest_.insert(latest_.end(), Latest{colour, fill, -1});
        int chosen = latest->run >= floor_ ? latest->run : -1;
        if (chosen >= 0 && bounded)
            for (const std::size_t p : footprint_) {
                const int last = lastRun_[p];
                if (last > chosen && runs_[static_cast<std::size_t>(last)].colour != colour) {
                    chosen = -1;
                    break;
                }
            }
        if (chosen < 0 || !bounded) {
            runs_.push_back(Run{colour, fill, {}, {}});
            chosen = static_cast<int>(runs_.size()) - 1;
            if (!bounded)
                floor_ = chosen;
        }
        latest->run = chosen;
        for (const std::size_t p : footprint_)
            lastRun_[p] = std::max(lastRun_[p], chosen);
        return runs_[static_cast<std::size_t>(chosen)];
    }

    static constexpr int kAround = 1;

    int width_, height_;
    std::vector<Run> runs_;
    // The latest run of each colour, of strokes and of fills.
    struct Latest {
        QRgb colour;
        bool fill;
        int run;
    };
    std::vector<Latest> latest_;
    // The run each pixel was last reached by.
    std::vector<int> lastRun_;
    std::vector<bool> filledLater_;
    // No stroke joins a run before this one.
    int floor_ = 0;
    std::vector<std::size_t> footprint_;
};

// Path data in steps relative to the last point, each command's letter
// written only where it changes ("m" goes on as "l").
class PathData {
public:
    explicit PathData(bool centres) : centres_(centres) {}

    void moveTo(Pixel p)
    {
        if (!started_) {
            d_ += 'M' + std::to_string(p.x) + (centres_ ? ".5 " : " ") + std::to_string(p.y) + (centres_ ? ".5" : "");
            started_ = true;
            // After an absolute move, more numbers would be absolute lines.
            last_ = 0;
        } else if (!(p == at_)) {
            command('m');
            number(d_, p.x - at_.x);
            number(d_, p.y - at_.y);
            last_ = 'l';
        }
        at_ = p;
    }
    void lineTo(Pixel p)
    {
        if (p.y == at_.y) {
            command('h');
            number(d_, p.x - at_.x);
        } else if (p.x == at_.x) {
            command('v');
            number(d_, p.y - at_.y);
        } else {
            command('l');
            number(d_, p.x - at_.x);
            number(d_, p.y - at_.y);
        }
        at_ = p;
    }
    // Back to where the subpath began, which stays the current point.
    void close(Pixel start)
    {
        d_ += 'z';
        last_ = 'z';
        at_ = start;
    }
    const std::string& text() const { return d_; }

private:
    void command(char c)
    {
        if (last_ != c)
            d_ += c;
        last_ = c;
    }

    bool centres_;
    bool started_ = false;
    char last_ = 0;
    Pixel at_{0, 0};
    std::string d_;
};

std::string pathData(Run run)
{
    PathData d(!run.fill);
    if (run.fill) {
        // Their order is free: row by row, a rectangle for each row's span.
        std::sort(run.pixels.begin(), run.pixels.end());
        for (std::size_t i = 0; i < run.pixels.size();) {
            std::size_t j = i + 1;
            while (j < run.pixels.size() && run.pixels[j].y == run.pixels[i].y
                   && run.pixels[j].x == run.pixels[j - 1].x + 1)
                ++j;
            const Pixel p = run.pixels[i];
            const auto width = static_cast<std::int64_t>(j - i);
            d.moveTo(p);
            d.lineTo({p.x + width, p.y});
            d.lineTo({p.x + width, p.y + 1});
            d.lineTo({p.x, p.y + 1});
            d.close(p);
            i = j;
        }
        return d.text();
    }
    for (const Shape& s : run.strokes) {
        if (s.kind == Shape::Box) {
            const Pixel topLeft{std::min(s.a.x, s.b.x), std::min(s.a.y, s.b.y)};
            const Pixel bottomRight{std::max(s.a.x, s.b.x), std::max(s.a.y, s.b.y)};
            d.moveTo(topLeft);
            d.lineTo({bottomRight.x, topLeft.y});
            d.lineTo(bottomRight);
            d.lineTo({topLeft.x, bottomRight.y});
            d.close(topLeft);
        } else {
            d.moveTo(s.a);
            d.lineTo(s.b);
        }
    }
    return d.text();
}

std::string hex(QRgb rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", qRed(rgb), qGreen(rgb), qBlue(rgb));
    return text;
}

std::string millimetres(int pixels, double scale)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3fmm", pixels / scale * 25.4 / 96);
    return text;
}

}  // namespace

QByteArray compactSvg(const VectorPicture& picture, double scale, const char* title)
{
    std::vector<Shape> shapes;
    for (const VectorStroke& stroke : picture.strokes)
        // The raster draws nothing of a line with an end that is not a number.
        if (!std::isnan(stroke.from.x() + stroke.from.y() + stroke.to.x() + stroke.to.y()))
            appendShapes(stroke, shapes);
    Writer writer(picture.pixels);
    writer.add(shapes);
    const std::string w = std::to_string(picture.pixels.width()), h = std::to_string(picture.pixels.height());
    // Drawn unsmoothed, as the window draws: a one-pixel line between pixel
    // centres then inks whole pixels in its own colour.
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\""
                      + millimetres(picture.pixels.width(), scale) + "\" height=\""
                      + millimetres(picture.pixels.height(), scale) + "\" viewBox=\"0 0 " + w + ' ' + h
                      + "\" shape-rendering=\"crispEdges\">\n<title>" + title + "</title>\n<rect width=\"" + w
                      + "\" height=\"" + h + "\" fill=\"" + hex(picture.background)
                      + "\"/>\n<g fill=\"none\" stroke-width=\"1\" stroke-linecap=\"square\" "
                        "stroke-linejoin=\"miter\">\n";
    for (const Run& run : writer.runs())
        svg += std::string("<path ") + (run.fill ? "fill" : "stroke") + "=\"" + hex(run.colour) + "\" d=\""
               + pathData(run) + "\"/>\n";
    svg += "</g>\n</svg>\n";
    return QByteArray::fromStdString(svg);
}

}  // namespace velmoran::ui
