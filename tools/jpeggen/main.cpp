// jpeggen: draws the about box picture (a small portrait medallion beside a waving Turkish flag
// on a pole, against the sky) and writes it as a 150 x 87 progressive three-component JPEG
// through libjpeg's compression API.
//
//   jpeggen <output.jpg> [quality]
//
// The drawing is pure arithmetic on a 4 x 4 supersampling grid per pixel, so the output is the
// same on every machine with the same libjpeg.
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 150;
constexpr int kHeight = 87;
constexpr int kSubsamples = 4;

struct Rgb {
    double r = 0, g = 0, b = 0;
};

Rgb Mix(const Rgb& a, const Rgb& b, double t) {
    return { a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t };
}

Rgb Scale(const Rgb& c, double s) {
    return { c.r * s, c.g * s, c.b * s };
}

bool InEllipse(double x, double y, double cx, double cy, double rx, double ry) {
    const double dx = (x - cx) / rx;
    const double dy = (y - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

// Ray-casting point-in-polygon test.
template <std::size_t N>
bool InPolygon(double x, double y, const std::array<std::array<double, 2>, N>& poly) {
    bool inside = false;
    for (std::size_t i = 0, j = N - 1; i < N; j = i++) {
        const double xi = poly[i][0], yi = poly[i][1];
        const double xj = poly[j][0], yj = poly[j][1];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
}

// A five-pointed star with one point towards -x (the hoist), circumradius `r`.
std::array<std::array<double, 2>, 10> Star(double cx, double cy, double r) {
    std::array<std::array<double, 2>, 10> points {};
    const double inner = r * 0.381966; // regular star: r * sin(18°) / sin(126°)
    for (int i = 0; i < 10; ++i) {
        const double angle = std::numbers::pi + i * std::numbers::pi / 5.0;
        const double radius = (i % 2 == 0) ? r : inner;
        points[i] = { cx + radius * std::cos(angle), cy + radius * std::sin(angle) };
    }
    return points;
}

// ---- The flag, in units of its height G (the legal proportions of the Turkish flag). ----

constexpr double kSleeve = 1.0 / 30.0; // white band at the hoist
constexpr double kFlagLength = 1.5 + kSleeve;
const Rgb kFlagRed { 227, 10, 23 };
const Rgb kWhite { 255, 255, 255 };

// Flag colour at flag coordinates (fx, fy), fx from the hoist, fy from the top, both in G.
Rgb FlagColour(double fx, double fy) {
    if (fx < kSleeve) return kWhite;
    const double x = fx - kSleeve;
    const bool inOuter = InEllipse(x, fy, 0.5, 0.5, 0.25, 0.25);
    const bool inInner = InEllipse(x, fy, 0.5625, 0.5, 0.2, 0.2);
    if (inOuter && !inInner) return kWhite;
    // The star's circle starts 1/3 G beyond the inner circle's near edge; its diameter is G / 4.
    static const auto star = Star(0.5625 - 0.2 + 1.0 / 3.0 + 0.125, 0.5, 0.125);
    if (InPolygon(x, fy, star)) return kWhite;
    return kFlagRed;
}

// ---- The scene, in pixels. ----

constexpr double kFlagLeft = 50.0;
constexpr double kFlagTop = 10.0;
constexpr double kFlagHeight = 62.0;
constexpr double kWaveAmplitude = 4.0;

// Vertical displacement of the flag cloth at fraction u (0 at the pole, 1 at the fly).
double Wave(double u) {
    return kWaveAmplitude * std::pow(u, 0.8) * std::sin(2.0 * std::numbers::pi * 1.3 * u - 0.6);
}

// Light on the cloth: a fold that rises towards the fly is lit, one that falls is in shade.
double Shade(double u) {
    constexpr double h = 1e-3;
    constexpr double steepest = kWaveAmplitude * 2.0 * std::numbers::pi * 1.3;
    const double slope = (Wave(u + h) - Wave(u - h)) / (2 * h) / steepest;
    return std::fmin(1.2, std::fmax(0.6, 1.0 - 0.35 * slope));
}

bool FlagSample(double x, double y, Rgb& out) {
    const double length = kFlagLength * kFlagHeight;
    const double u = (x - kFlagLeft) / length;
    if (u < 0.0 || u > 1.0) return false;
    const double fy = (y - kFlagTop - Wave(u)) / kFlagHeight;
    if (fy < 0.0 || fy > 1.0) return false;
    out = Scale(FlagColour(u * kFlagLength, fy), Shade(u));
    return true;
}

bool PoleSample(double x, double y, Rgb& out) {
    const Rgb gold { 212, 175, 55 };
    if (InEllipse(x, y, 48.5, 6.0, 2.6, 2.6)) {
        const double light = 1.25 - 0.18 * std::hypot(x - 47.6, y - 5.0);
        out = Scale(gold, light);
        return true;
    }
    if (x >= 47.3 && x <= 49.7 && y >= 7.0) {
        out = Mix({ 235, 235, 225 }, { 120, 120, 115 }, (x - 47.3) / 2.4);
        return true;
    }
    return false;
}

// An oval medallion with a bust in silhouette.
bool MedallionSample(double x, double y, Rgb& out) {
    constexpr double cx = 23.0, cy = 43.5, rx = 19.0, ry = 27.0;
    if (!InEllipse(x, y, cx, cy, rx, ry)) return false;
    if (!InEllipse(x, y, cx, cy, rx - 2.0, ry - 2.0)) {
        const double light = 0.8 + 0.4 * (cy - y) / ry * 0.5 + 0.2 * (cx - x) / rx;
        out = Scale({ 212, 175, 55 }, light);
        return true;
    }
    const Rgb silhouette { 48, 38, 30 };
    // A head in profile, facing the flag: skull, nose and chin, then neck and shoulders.
    const bool head = InEllipse(x, y, 22.5, 36.0, 7.0, 8.6);
    const std::array<std::array<double, 2>, 3> nose { { { 28.5, 35.5 }, { 31.0, 39.5 },
        { 28.5, 40.0 } } };
    const bool face = InPolygon(x, y, nose) || InEllipse(x, y, 25.0, 42.5, 3.2, 2.5);
    const bool neck = x >= 19.0 && x <= 26.0 && y >= 40.0 && y <= 53.0;
    const bool shoulders = InEllipse(x, y, 23.0, 68.0, 16.5, 15.0);
    if (head || face || neck || shoulders) {
        out = silhouette;
        return true;
    }
    out = Mix({ 236, 218, 178 }, { 188, 160, 112 }, (y - (cy - ry)) / (2 * ry));
    return true;
}

Rgb SkySample(double, double y) {
    return Mix({ 62, 118, 196 }, { 178, 208, 238 }, y / kHeight);
}

Rgb Sample(double x, double y) {
    Rgb c;
    if (FlagSample(x, y, c)) return c;
    if (PoleSample(x, y, c)) return c;
    if (MedallionSample(x, y, c)) return c;
    return SkySample(x, y);
}

std::vector<JSAMPLE> Render() {
    std::vector<JSAMPLE> pixels(static_cast<std::size_t>(kWidth) * kHeight * 3);
    for (int py = 0; py < kHeight; ++py) {
        for (int px = 0; px < kWidth; ++px) {
            Rgb sum;
            for (int sy = 0; sy < kSubsamples; ++sy) {
                for (int sx = 0; sx < kSubsamples; ++sx) {
                    const Rgb c
                        = Sample(px + (sx + 0.5) / kSubsamples, py + (sy + 0.5) / kSubsamples);
                    sum = { sum.r + c.r, sum.g + c.g, sum.b + c.b };
                }
            }
            const double n = kSubsamples * kSubsamples;
            JSAMPLE* out = &pixels[(static_cast<std::size_t>(py) * kWidth + px) * 3];
            const auto clamp = [](double v) {
                return static_cast<JSAMPLE>(std::lround(std::fmin(255.0, std::fmax(0.0, v))));
            };
            out[0] = clamp(sum.r / n);
            out[1] = clamp(sum.g / n);
            out[2] = clamp(sum.b / n);
        }
    }
    return pixels;
}

// Writes the pixels as a progressive JPEG. libjpeg's default error handler ends the tool on error.
void WriteJpeg(std::FILE* file, std::vector<JSAMPLE>& pixels, int quality) {
    jpeg_compress_struct cinfo {};
    jpeg_error_mgr jerr {};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = kWidth;
    cinfo.image_height = kHeight;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_simple_progression(&cinfo);
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = &pixels[static_cast<std::size_t>(cinfo.next_scanline) * kWidth * 3];
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s <output.jpg> [quality 1-100, default 75]\n", argv[0]);
        return 2;
    }
    const int quality = argc == 3 ? std::atoi(argv[2]) : 75;
    if (quality < 1 || quality > 100) {
        std::fprintf(stderr, "quality must be 1-100\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    auto pixels = Render();
    WriteJpeg(file, pixels, quality);
    if (std::fclose(file) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
