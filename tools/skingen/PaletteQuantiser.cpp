// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/skingen/PaletteQuantiser.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>
#include <unordered_map>
#include <vector>

namespace skingen
{

namespace
{

constexpr int kMaxColours = 256;

struct ColourCount {
    QRgb colour;
    int count;
};

int Channel(QRgb c, int channel)
{
    switch (channel) {
    case 0:
        return qRed(c);
    case 1:
        return qGreen(c);
    default:
        return qBlue(c);
    }
}

struct Box {
    std::vector<ColourCount> items;

    // Widest channel and its extent.
    std::pair<int, int> Spread() const
    {
        std::array<int, 3> lo{255, 255, 255};
        std::array<int, 3> hi{0, 0, 0};
        for (const auto &item : items) {
            for (int ch = 0; ch < 3; ++ch) {
                lo[ch] = std::min(lo[ch], Channel(item.colour, ch));
                hi[ch] = std::max(hi[ch], Channel(item.colour, ch));
            }
        }
        int best = 0;
        for (int ch = 1; ch < 3; ++ch) {
            if (hi[ch] - lo[ch] > hi[best] - lo[best]) {
                best = ch;
            }
        }
        return {best, hi[best] - lo[best]};
    }

    QRgb Mean() const
    {
        double r = 0, g = 0, b = 0, n = 0;
        for (const auto &item : items) {
            r += qRed(item.colour) * double(item.count);
            g += qGreen(item.colour) * double(item.count);
            b += qBlue(item.colour) * double(item.count);
            n += item.count;
        }
        return qRgb(int(r / n + 0.5), int(g / n + 0.5), int(b / n + 0.5));
    }
};

std::vector<QRgb> MedianCut(std::vector<ColourCount> colours, int target)
{
    std::vector<Box> boxes{Box{std::move(colours)}};
    while (static_cast<int>(boxes.size()) < target) {
        int pick = -1;
        long long pickScore = 0;
        for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
            if (boxes[i].items.size() < 2) {
                continue;
            }
            long long pixels = 0;
            for (const auto &item : boxes[i].items) {
                pixels += item.count;
            }
            // Favour boxes that are both wide and well populated.
            const long long score = (boxes[i].Spread().second + 1LL) * (pixels + 1LL);
            if (score > pickScore) {
                pickScore = score;
                pick = i;
            }
        }
        if (pick < 0) {
            break;
        }
        Box &box = boxes[pick];
        const int ch = box.Spread().first;
        std::sort(box.items.begin(), box.items.end(), [ch](const ColourCount &a, const ColourCount &b) {
            return Channel(a.colour, ch) < Channel(b.colour, ch);
        });
        long long total = 0;
        for (const auto &item : box.items) {
            total += item.count;
        }
        long long running = 0;
        std::size_t cut = 1;
        for (std::size_t i = 0; i + 1 < box.items.size(); ++i) {
            running += box.items[i].count;
            cut = i + 1;
            if (running * 2 >= total) {
                break;
            }
        }
        Box upper{
            std::vector<ColourCount>(box.items.begin() + static_cast<std::ptrdiff_t>(cut), box.items.end())};
        box.items.resize(cut);
        boxes.push_back(std::move(upper));
    }
    std::vector<QRgb> palette;
    palette.reserve(boxes.size());
    for (const auto &box : boxes) {
        palette.push_back(box.Mean());
    }
    return palette;
}

int DistanceSquared(QRgb a, QRgb b)
{
    const int dr = qRed(a) - qRed(b);
    const int dg = qGreen(a) - qGreen(b);
    const int db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

} // namespace

QImage PaletteQuantiser::Quantise(const QImage &image, const QList<QRgb> &exact)
{
    if (exact.size() >= kMaxColours) {
        throw std::invalid_argument("too many reserved palette colours");
    }
    QList<QRgb> reservedColours;
    for (const QRgb c : exact) {
        reservedColours.append(c | 0xFF000000u);
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::unordered_map<QRgb, int> histogram;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = line[x] | 0xFF000000u;
            if (!reservedColours.contains(c)) {
                ++histogram[c];
            }
        }
    }

    QList<QRgb> palette = reservedColours;
    const int room = kMaxColours - static_cast<int>(palette.size());
    std::vector<ColourCount> colours;
    colours.reserve(histogram.size());
    for (const auto &[colour, count] : histogram) {
        colours.push_back({colour, count});
    }
    // Deterministic output whatever the hash order.
    std::sort(colours.begin(), colours.end(),
              [](const ColourCount &a, const ColourCount &b) { return a.colour < b.colour; });
    std::vector<QRgb> chosen;
    if (static_cast<int>(colours.size()) <= room) {
        for (const auto &item : colours) {
            chosen.push_back(item.colour);
        }
    } else {
        chosen = MedianCut(std::move(colours), room);
    }
    const int firstFree = static_cast<int>(palette.size());
    for (QRgb c : chosen) {
        while (palette.contains(c)) {
            c = qRgb(qRed(c), qGreen(c) ^ 1, qBlue(c)); // never duplicate a reserved colour
        }
        palette.append(c);
    }

    QImage out(rgb.size(), QImage::Format_Indexed8);
    out.setColorTable(palette);
    std::unordered_map<QRgb, uchar> nearest;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        uchar *line = out.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = in[x] | 0xFF000000u;
            const int reserved = static_cast<int>(reservedColours.indexOf(c));
            if (reserved >= 0) {
                line[x] = static_cast<uchar>(reserved);
                continue;
            }
            auto found = nearest.find(c);
            if (found == nearest.end()) {
                int best = firstFree;
                int bestDistance = std::numeric_limits<int>::max();
                for (int i = firstFree; i < palette.size(); ++i) {
                    const int d = DistanceSquared(c, palette[i]);
                    if (d < bestDistance) {
                        bestDistance = d;
                        best = i;
                    }
                }
                found = nearest.emplace(c, static_cast<uchar>(best)).first;
            }
            line[x] = found->second;
        }
    }
    return out;
}

} // namespace skingen
