// A small one-bit raster for the specimen sheet: lines with a round pen, even-odd filled
// polygons, and a BMP writer. Coordinates are device units, y up from the bottom row.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class SpecimenRaster {
public:
    SpecimenRaster(int width, int height);
    void line(float x0, float y0, float x1, float y1, float penRadius);
    void polygon(std::span<const float> xs, std::span<const float> ys);
    bool ink(int column, int rowFromBottom) const;
    // One-bit BMP, black ink on white. Returns false when the file cannot be written.
    bool writeBmp(const std::string& path) const;

private:
    void dot(float x, float y, float radius);
    void set(int column, int rowFromBottom);
    int width_;
    int height_;
    std::vector<std::uint8_t> ink_;
};
