#include "files/compact_svg.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace velmoran::files {

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

void appendShapes(const picture::VectorStroke& stroke, std::vector<Shape>& shapes)
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

void number(std::string& d, std::int64_t v)
{
    // A minus sign separates numbers as well as a space does.
    if (v >= 0 && !d.empty() && std::isdigit(static_cast<unsigned char>(d.back())))
        d += ' ';
    d += std::to_string(v);
}

// Path data in steps relative to the last point, each command's letter
// written only where it changes ("m" goes on as "l").
class PathData {
public:
    // Points at the centres of pixels across (down), or at their left
    // (top) edges.
    PathData(bool centresAcross, bool centresDown) : halfX_(centresAcross ? ".5" : ""), halfY_(centresDown ? ".5" : "")
    {
    }

    void moveTo(Pixel p)
    {
        if (!started_) {
            d_ += 'M' + std::to_string(p.x) + halfX_ + ' ' + std::to_string(p.y) + halfY_;
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
    const std::string& text() const { return d_; }

private:
    void command(char c)
    {
        if (last_ != c)
            d_ += c;
        last_ = c;
    }

    const char* halfX_;
    const char* halfY_;
    bool started_ = false;
    char last_ = 0;
    Pixel at_{0, 0};
    std::string d_;
};

std::string hex(QRgb rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", qRed(rgb), qGreen(rgb), qBlue(rgb));
    return text;
}

// A row's (or column's) pixels from `from` to `to` at `at`.
struct Span {
    std::int64_t at, from, to;
    bool operator<(const Span& o) const { return at != o.at ? at < o.at : from < o.from; }
};

// Spans of one colour that overlap or touch, as one: the same pixels.
std::vector<Span> merged(std::vector<Span> spans)
{
    std::sort(spans.begin(), spans.end());
    std::vector<Span> out;
    for (const Span& s : spans)
        if (!out.empty() && out.back().at == s.at && s.from <= out.back().to + 1)
            out.back().to = std::max(out.back().to, s.to);
        else
            out.push_back(s);
    return out;
}

// The strokes in stretches the order decides nothing within: there, the
// lines of each colour go together, and every pixel that a stroke of
// another colour also reaches, or that is filled, is filled last in the
// colour the drawing leaves it, so the picture is the drawing's. A line
// reaching far outside the picture, whose pixels are not looked at, ends a
// stretch and is drawn alone, in its place.
class Writer {
public:
    explicit Writer(QSize pixels)
        : width_(pixels.width()), height_(pixels.height()),
          colour_(static_cast<std::size_t>(std::max(0, width_ * height_))), first_(colour_.size()),
          stretch_(colour_.size(), 0), mixed_(colour_.size(), false)
    {
    }

    void add(const Shape& shape)
    {
        if (shape.kind == Shape::Fill) {
            for (std::int64_t y = shape.a.y; y <= shape.b.y; ++y)
                for (std::int64_t x = shape.a.x; x <= shape.b.x; ++x)
                    paint({x, y}, shape.colour, true);
            return;
        }
        const std::int64_t reach = std::max(width_, height_) + 2;
        const auto near = [&](Pixel p) { return std::llabs(p.x) <= reach && std::llabs(p.y) <= reach; };
        if (!near(shape.a) || !near(shape.b)) {
            endStretch();
            lines_.push_back(shape);
            endStretch();
            return;
        }
        lines_.push_back(shape);
        if (shape.kind == Shape::Box) {
            const Pixel c{shape.a.x, shape.b.y}, d{shape.b.x, shape.a.y};
            segment(shape.a, c, shape.colour);
            segment(c, shape.b, shape.colour);
            segment(shape.b, d, shape.colour);
            segment(d, shape.a, shape.colour);
        } else {
            segment(shape.a, shape.b, shape.colour);
        }
    }

    // The document's paths so far.
    const std::string& finish()
    {
        endStretch();
        return out_;
    }

private:
    bool inside(Pixel p) const { return p.x >= 0 && p.y >= 0 && p.x < width_ && p.y < height_; }

    void paint(Pixel p, QRgb colour, bool fill)
    {
        if (!inside(p))
            return;
        const auto i = static_cast<std::size_t>(p.y * width_ + p.x);
        if (stretch_[i] != stretches_) {
            stretch_[i] = stretches_;
            first_[i] = colour;
            mixed_[i] = fill;
            touched_.push_back(i);
        } else {
            mixed_[i] = mixed_[i] || fill || first_[i] != colour;
        }
        colour_[i] = colour;
    }

    // As the raster draws it: Bresenham from end to end.
    void segment(Pixel a, Pixel b, QRgb colour)
    {
        const std::int64_t dx = std::llabs(b.x - a.x), dy = -std::llabs(b.y - a.y);
        const std::int64_t sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
        std::int64_t err = dx + dy;
        for (Pixel p = a;;) {
            paint(p, colour, false);
            if (p == b)
                return;
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

    void endStretch()
    {
        std::vector<QRgb> colours;
        for (const Shape& s : lines_)
            if (std::find(colours.begin(), colours.end(), s.colour) == colours.end())
                colours.push_back(s.colour);
        for (const QRgb colour : colours) {
            std::vector<Span> rows, columns;
            PathData d(true, true);
            for (const Shape& s : lines_) {
                if (s.colour != colour)
                    continue;
                const std::int64_t left = std::min(s.a.x, s.b.x), right = std::max(s.a.x, s.b.x);
                const std::int64_t top = std::min(s.a.y, s.b.y), bottom = std::max(s.a.y, s.b.y);
                if (s.kind == Shape::Box) {
                    rows.insert(rows.end(), {{top, left, right}, {bottom, left, right}});
                    columns.insert(columns.end(), {{left, top, bottom}, {right, top, bottom}});
                } else if (s.a.y == s.b.y) {
                    rows.push_back({top, left, right});
                } else if (s.a.x == s.b.x) {
                    columns.push_back({left, top, bottom});
                } else {
                    d.moveTo(s.a);
                    d.lineTo(s.b);
                }
            }
            for (const Span& r : merged(rows)) {
                d.moveTo({r.from, r.at});
                d.lineTo({r.to, r.at});
            }
            for (const Span& c : merged(columns)) {
                d.moveTo({c.at, c.from});
                d.lineTo({c.at, c.to});
            }
            path("stroke", colour, d.text());
        }
        std::vector<std::pair<QRgb, std::vector<Pixel>>> filled;
        for (const std::size_t i : touched_) {
            if (!mixed_[i])
                continue;
            auto f = std::find_if(filled.begin(), filled.end(), [&](const auto& e) { return e.first == colour_[i]; });
            if (f == filled.end())
                f = filled.insert(filled.end(), {colour_[i], {}});
            f->second.push_back({static_cast<std::int64_t>(i) % width_, static_cast<std::int64_t>(i) / width_});
        }
        for (auto& [colour, pixels] : filled) {
            // Row by row, each row's span as a line along its middle, its
            // ends cut square at the pixels' edges.
            std::sort(pixels.begin(), pixels.end());
            PathData d(false, true);
            for (std::size_t i = 0; i < pixels.size();) {
                std::size_t j = i + 1;
                while (j < pixels.size() && pixels[j].y == pixels[i].y && pixels[j].x == pixels[j - 1].x + 1)
                    ++j;
                const Pixel p = pixels[i];
                const auto width = static_cast<std::int64_t>(j - i);
                d.moveTo(p);
                d.lineTo({p.x + width, p.y});
                i = j;
            }
            path("stroke-linecap=\"butt\" stroke", colour, d.text());
        }
        lines_.clear();
        touched_.clear();
        ++stretches_;
    }

    void path(const char* paint, QRgb colour, const std::string& d)
    {
        if (!d.empty())
            out_ += std::string("<path ") + paint + "=\"" + hex(colour) + "\" d=\"" + d + "\"/>\n";
    }

    int width_, height_;
    // Per pixel: its colour now, the first one of this stretch, the stretch
    // it was last reached in, and whether it must be filled at the end of it.
    std::vector<QRgb> colour_, first_;
    std::vector<int> stretch_;
    std::vector<bool> mixed_;
    int stretches_ = 1;
    std::vector<std::size_t> touched_;
    std::vector<Shape> lines_;
    std::string out_;
};

std::string millimetres(int pixels, double scale)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3fmm", pixels / scale * 25.4 / 96);
    return text;
}

}  // namespace

QByteArray compactSvg(const picture::VectorPicture& picture, double scale, const char* title)
{
    std::vector<Shape> shapes;
    for (const picture::VectorStroke& stroke : picture.strokes)
        // The raster draws nothing of a line with an end that is not a number.
        if (!std::isnan(stroke.from.x() + stroke.from.y() + stroke.to.x() + stroke.to.y()))
            appendShapes(stroke, shapes);
    Writer writer(picture.pixels);
    for (const Shape& shape : shapes)
        writer.add(shape);
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
    svg += writer.finish() + "</g>\n</svg>\n";
    return QByteArray::fromStdString(svg);
}

}  // namespace velmoran::files
