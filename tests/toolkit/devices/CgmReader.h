// A strict reader of binary CGM for tests: walks the elements (header word, long forms and their
// partitions, pad bytes after odd lengths) to the last byte, and checks the metafile's frame:
// BEGIN METAFILE first, END METAFILE last and nothing after it, every BEGIN PICTURE closed by an
// END PICTURE with a BEGIN PICTURE BODY between, and no drawing element outside a picture body
// (VDC INTEGER PRECISION only may come before the body).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct CgmElement {
    int elementClass = 0, id = 0;
    std::size_t offset = 0;            // of the header word
    std::vector<std::uint8_t> params;  // all partitions joined
    int partitions = 1;
    bool longForm = false;
    int word(std::size_t at) const
    {
        return static_cast<std::int16_t>((params.at(at) << 8) | params.at(at + 1));
    }
};

struct CgmWalk {
    std::vector<CgmElement> elements;
    std::string error;  // empty when the file is sound
    int pictures = 0;
    std::vector<const CgmElement*> all(int elementClass, int id) const
    {
        std::vector<const CgmElement*> out;
        for (const CgmElement& e : elements)
            if (e.elementClass == elementClass && e.id == id) out.push_back(&e);
        return out;
    }
};

inline CgmWalk walkCgm(std::span<const std::uint8_t> bytes)
{
    CgmWalk walk;
    std::size_t at = 0;
    const auto word = [&](std::size_t p) { return (bytes[p] << 8) | bytes[p + 1]; };
    while (at < bytes.size()) {
        if (at + 2 > bytes.size()) {
            walk.error = "header cut at " + std::to_string(at);
            return walk;
        }
        CgmElement e;
        e.offset = at;
        const int h = word(at);
        e.elementClass = h >> 12;
        e.id = (h >> 5) & 127;
        std::size_t length = static_cast<std::size_t>(h & 31);
        at += 2;
        bool more = false;
        if (length == 31) {
            e.longForm = true;
            e.partitions = 0;
            do {
                if (at + 2 > bytes.size()) {
                    walk.error = "partition length cut at " + std::to_string(at);
                    return walk;
                }
                const int w = word(at);
                at += 2;
                more = (w & 0x8000) != 0;
                length = static_cast<std::size_t>(w & 0x7FFF);
                ++e.partitions;
                if (at + length > bytes.size()) {
                    walk.error = "partition beyond the end at " + std::to_string(at);
                    return walk;
                }
                e.params.insert(e.params.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                                bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
                at += length + (length % 2);
            } while (more);
        } else {
            if (at + length > bytes.size()) {
                walk.error = "parameters beyond the end at " + std::to_string(at);
                return walk;
            }
            e.params.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                            bytes.begin() + static_cast<std::ptrdiff_t>(at + length));
            at += length + (length % 2);
        }
        walk.elements.push_back(std::move(e));
    }
    if (at != bytes.size()) walk.error = "pad byte beyond the end";
    if (!walk.error.empty()) return walk;
    const auto is = [](const CgmElement& e, int c, int i) { return e.elementClass == c && e.id == i; };
    if (walk.elements.empty() || !is(walk.elements.front(), 0, 1)) {
        walk.error = "no BEGIN METAFILE first";
        return walk;
    }
    if (!is(walk.elements.back(), 0, 2)) {
        walk.error = "no END METAFILE last";
        return walk;
    }
    int state = 0;  // 0 descriptor or between pictures, 1 picture descriptor, 2 picture body
    for (std::size_t k = 1; k + 1 < walk.elements.size(); ++k) {
        const CgmElement& e = walk.elements[k];
        if (is(e, 0, 1) || is(e, 0, 2)) {
            walk.error = "metafile delimiter inside at " + std::to_string(e.offset);
            return walk;
        }
        if (is(e, 0, 3)) {
            if (state != 0) {
                walk.error = "BEGIN PICTURE inside a picture at " + std::to_string(e.offset);
                return walk;
            }
            state = 1;
            ++walk.pictures;
        } else if (is(e, 0, 4)) {
            if (state != 1) {
                walk.error = "BEGIN PICTURE BODY out of place at " + std::to_string(e.offset);
                return walk;
            }
            state = 2;
        } else if (is(e, 0, 5)) {
            if (state != 2) {
                walk.error = "END PICTURE without a picture body at " + std::to_string(e.offset);
                return walk;
            }
            state = 0;
        } else if (is(e, 3, 1) && state == 1) {
            // VDC INTEGER PRECISION ahead of the picture body, where the toolkit has always written it.
        } else if (e.elementClass >= 3 && state != 2) {
            walk.error = "element " + std::to_string(e.elementClass) + "," + std::to_string(e.id) +
                         " outside a picture body at " + std::to_string(e.offset);
            return walk;
        } else if (e.elementClass == 2 && state != 1) {
            walk.error = "picture descriptor element outside a picture at " + std::to_string(e.offset);
            return walk;
        }
    }
    if (state != 0) walk.error = "last picture not closed";
    return walk;
}
