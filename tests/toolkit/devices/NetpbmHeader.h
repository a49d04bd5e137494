// The header of a netpbm file read token by token: white space and comments skipped, and the
// position left just past the one white-space byte that ends the last token read, which is where
// the pixels of a binary file start.
#pragma once

#include <cctype>
#include <cstddef>
#include <string>

#include "tests/toolkit/devices/RasterFixture.h"

namespace raster_test {

struct NetpbmHeader {
    const Bytes& file;
    std::size_t at = 0;

    // The next token; empty at the end of the file.
    std::string token()
    {
        std::string t;
        while (at < file.size()) {
            const char c = static_cast<char>(file[at]);
            if (c == '#') {
                while (at < file.size() && file[at] != '\n') ++at;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++at;
                if (!t.empty()) return t;
            } else {
                t += c;
                ++at;
            }
        }
        return t;
    }
};

}  // namespace raster_test
