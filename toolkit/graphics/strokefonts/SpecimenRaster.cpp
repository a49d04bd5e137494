#include "toolkit/graphics/strokefonts/SpecimenRaster.h"

#include <algorithm>
#include <cmath>
#include <fstream>

SpecimenRaster::SpecimenRaster(int width, int height)
    : width_(width), height_(height), ink_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0)
{
}

void SpecimenRaster::set(int column, int row)
{
    if (column < 0 || row < 0 || column >= width_ || row >= height_) return;
    ink_[static_cast<std::size_t>(row) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(column)] = 1;
}

bool SpecimenRaster::ink(int column, int row) const
{
    if (column < 0 || row < 0 || column >= width_ || row >= height_) return false;
    return ink_[static_cast<std::size_t>(row) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(column)] != 0;
}

void SpecimenRaster::dot(float x, float y, float radius)
{
    const int r = static_cast<int>(std::ceil(radius));
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            const float px = std::floor(x) + static_cast<float>(dx) + 0.5f - x;
            const float py = std::floor(y) + static_cast<float>(dy) + 0.5f - y;
            if (px * px + py * py <= radius * radius + 0.25f)
                set(static_cast<int>(std::floor(x)) + dx, static_cast<int>(std::floor(y)) + dy);
        }
}

void SpecimenRaster::line(float x0, float y0, float x1, float y1, float penRadius)
{
    const float length = std::hypot(x1 - x0, y1 - y0);
    const int steps = std::max(1, static_cast<int>(std::ceil(length * 2)));
    for (int i = 0; i <= steps; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(steps);
        dot(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, penRadius);
    }
}

void SpecimenRaster::polygon(std::span<const float> xs, std::span<const float> ys)
{
    const std::size_t n = std::min(xs.size(), ys.size());
    if (n < 3) return;
    const float top = *std::max_element(ys.begin(), ys.begin() + static_cast<std::ptrdiff_t>(n));
    const float bottom = *std::min_element(ys.begin(), ys.begin() + static_cast<std::ptrdiff_t>(n));
    std::vector<float> crossings;
    for (int row = std::max(0, static_cast<int>(std::floor(bottom))); row <= std::min(height_ - 1, static_cast<int>(top));
         ++row) {
        const float y = static_cast<float>(row) + 0.5f;
        crossings.clear();
        for (std::size_t i = 0; i < n; ++i) {
            const std::size_t j = (i + 1) % n;
            if ((ys[i] <= y) == (ys[j] <= y)) continue;
            crossings.push_back(xs[i] + (y - ys[i]) * (xs[j] - xs[i]) / (ys[j] - ys[i]));
        }
        std::sort(crossings.begin(), crossings.end());
        for (std::size_t k = 0; k + 1 < crossings.size(); k += 2)
            for (int c = static_cast<int>(std::ceil(crossings[k] - 0.5f)); static_cast<float>(c) + 0.5f <= crossings[k + 1]; ++c)
                set(c, row);
    }
}

bool SpecimenRaster::writeBmp(const std::string& path) const
{
    const std::uint32_t stride = static_cast<std::uint32_t>((width_ + 31) / 32 * 4);
    const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(height_);
    const std::uint32_t offset = 14 + 40 + 8;
    std::vector<std::uint8_t> out;
    auto put16 = [&](std::uint32_t v) { out.push_back(v & 0xff); out.push_back((v >> 8) & 0xff); };
    auto put32 = [&](std::uint32_t v) { put16(v & 0xffff); put16(v >> 16); };
    out.push_back('B');
    out.push_back('M');
    put32(offset + imageSize);
    put32(0);
    put32(offset);
    put32(40);
    put32(static_cast<std::uint32_t>(width_));
    put32(static_cast<std::uint32_t>(height_));
    put16(1);
    put16(1);
    put32(0);
    put32(imageSize);
    put32(3780);
    put32(3780);
    put32(2);
    put32(2);
    put32(0x000000);  // index 0: ink
    put32(0xffffff);  // index 1: paper
    for (int row = 0; row < height_; ++row) {  // BMP rows run bottom-up, as our y does
        std::vector<std::uint8_t> line(stride, 0);
        for (int c = 0; c < width_; ++c)
            if (!ink(c, row)) line[static_cast<std::size_t>(c / 8)] |= static_cast<std::uint8_t>(0x80 >> (c % 8));
        out.insert(out.end(), line.begin(), line.end());
    }
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<bool>(file);
}
