#include "Palette.h"

#include <QHash>
#include <algorithm>
#include <climits>
#include <vector>

namespace artgen {

namespace {

struct Weighted {
    QRgb colour;
    int count;
};

int Channel(QRgb c, int ch) {
    return ch == 0 ? qRed(c) : ch == 1 ? qGreen(c) : qBlue(c);
}

// Splits the widest box at its weighted median until there are `boxes` boxes; each box's
// weighted mean colour becomes one palette entry.
QList<QRgb> MedianCut(std::vector<Weighted> colours, int boxes) {
    std::vector<std::vector<Weighted>> work;
    if (!colours.empty()) work.push_back(std::move(colours));
    while (int(work.size()) < boxes) {
        int best = -1;
        int bestRange = 0;
        int bestChannel = 0;
        for (int i = 0; i < int(work.size()); ++i) {
            if (work[i].size() < 2) continue;
            for (int ch = 0; ch < 3; ++ch) {
                const auto [lo, hi] = std::minmax_element(
                    work[i].begin(), work[i].end(), [ch](const Weighted& a, const Weighted& b) {
                        return Channel(a.colour, ch) < Channel(b.colour, ch);
                    });
                const int range = Channel(hi->colour, ch) - Channel(lo->colour, ch);
                if (range > bestRange) {
                    bestRange = range;
                    best = i;
                    bestChannel = ch;
                }
            }
        }
        if (best < 0) break;
        auto& box = work[best];
        std::sort(box.begin(), box.end(), [bestChannel](const Weighted& a, const Weighted& b) {
            return Channel(a.colour, bestChannel) < Channel(b.colour, bestChannel);
        });
        long total = 0;
        for (const auto& w : box) total += w.count;
        long running = 0;
        std::size_t cut = 1;
        for (; cut < box.size() - 1; ++cut) {
            running += box[cut - 1].count;
            if (running * 2 >= total) break;
        }
        std::vector<Weighted> upper(box.begin() + long(cut), box.end());
        box.resize(cut);
        work.push_back(std::move(upper));
    }
    QList<QRgb> palette;
    for (const auto& box : work) {
        double r = 0, g = 0, b = 0, n = 0;
        for (const auto& w : box) {
            r += qRed(w.colour) * double(w.count);
            g += qGreen(w.colour) * double(w.count);
            b += qBlue(w.colour) * double(w.count);
            n += w.count;
        }
        palette.append(qRgb(int(r / n + 0.5), int(g / n + 0.5), int(b / n + 0.5)));
    }
    return palette;
}

int Nearest(const QList<QRgb>& palette, QRgb c) {
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(c) - qRed(palette[i]);
        const int dg = qGreen(c) - qGreen(palette[i]);
        const int db = qBlue(c) - qBlue(palette[i]);
        const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

} // namespace

QImage ToIndexed256(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> histogram;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ++histogram[image.pixel(x, y) | 0xff000000u];

    const QRgb black = qRgb(0, 0, 0);
    const QRgb white = qRgb(255, 255, 255);
    std::vector<Weighted> others;
    for (auto it = histogram.cbegin(); it != histogram.cend(); ++it)
        if (it.key() != black && it.key() != white) others.push_back({ it.key(), it.value() });
    std::sort(others.begin(), others.end(),
        [](const Weighted& a, const Weighted& b) { return a.colour < b.colour; });

    QList<QRgb> palette = MedianCut(std::move(others), 254);
    std::sort(palette.begin(), palette.end(),
        [](QRgb a, QRgb b) { return qGray(a) != qGray(b) ? qGray(a) < qGray(b) : a < b; });
    palette.prepend(black);
    palette.append(white);

    QImage indexed(image.size(), QImage::Format_Indexed8);
    indexed.setColorTable(palette);
    QHash<QRgb, int> lookup;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y) | 0xff000000u;
            auto it = lookup.find(c);
            if (it == lookup.end()) it = lookup.insert(c, Nearest(palette, c));
            indexed.setPixel(x, y, uint(it.value()));
        }
    }
    return indexed;
}

} // namespace artgen
