// The advance widths proportional text starts from, in nominal character widths (platform-free).
// Shared by the graphics layer and the stroke-font generator, which sizes the outline glyphs of the
// proportional sets to these advances.
#pragma once

// Codes 32 to 127; the entry of 127 serves code 128.
inline constexpr float kAdvanceWidthDefaultLow[96] = {
    0.7f,  0.56f, 0.69f, 0.84f, 0.84f, 1.39f, 1.3f,  0.56f, 0.56f, 0.56f, 0.84f, 0.94f, 0.42f, 0.56f, 0.42f, 0.47f,
    0.84f, 0.84f, 0.84f, 0.84f, 0.84f, 0.84f, 0.84f, 0.84f, 0.84f, 0.84f, 0.47f, 0.47f, 0.94f, 0.94f, 0.94f, 0.74f,
    1.54f, 1.11f, 1.11f, 1.11f, 1.2f,  1.02f, 0.93f, 1.2f,  1.05f, 0.56f, 0.65f, 1.2f,  0.98f, 1.3f,  1.2f,  1.2f,
    0.93f, 1.2f,  1.11f, 0.93f, 1.02f, 1.11f, 1.02f, 1.5f,  1.2f,  1.2f,  1.02f, 0.56f, 0.47f, 0.56f, 0.78f, 0.84f,
    0.56f, 0.74f, 0.84f, 0.74f, 0.84f, 0.74f, 0.56f, 0.84f, 0.84f, 0.46f, 0.46f, 0.84f, 0.46f, 1.3f,  0.84f, 0.84f,
    0.84f, 0.84f, 0.56f, 0.65f, 0.5f,  0.84f, 0.84f, 1.2f,  0.84f, 0.84f, 0.74f, 0.8f,  0.33f, 0.8f,  0.9f,  0.74f,
};

// Codes 161 to 255.
inline constexpr float kAdvanceWidthDefaultHigh[95] = {
    0.55f, 0.83f, 0.83f, 0.83f, 0.83f, 0.33f, 0.83f, 0.55f, 1.27f, 0.46f, 0.83f, 0.94f, 0.55f, 1.27f, 0.55f, 0.67f,
    0.94f, 0.5f,  0.5f,  0.55f, 0.83f, 0.75f, 0.42f, 0.55f, 0.5f,  0.52f, 0.83f, 1.25f, 1.25f, 1.25f, 0.74f, 1.2f,
    1.2f,  1.2f,  1.2f,  1.2f,  1.2f,  1.49f, 1.11f, 1.02f, 1.02f, 1.02f, 1.02f, 0.55f, 0.55f, 0.55f, 0.55f, 1.2f,
    1.2f,  1.2f,  1.2f,  1.2f,  1.2f,  1.2f,  0.94f, 1.2f,  1.2f,  1.2f,  1.2f,  1.2f,  1.2f,  0.93f, 0.83f, 0.74f,
    0.74f, 0.74f, 0.74f, 0.74f, 0.74f, 1.11f, 0.74f, 0.74f, 0.74f, 0.74f, 0.74f, 0.46f, 0.46f, 0.46f, 0.46f, 0.83f,
    0.83f, 0.83f, 0.83f, 0.83f, 0.83f, 0.83f, 0.94f, 0.83f, 0.83f, 0.83f, 0.83f, 0.83f, 0.83f, 0.83f, 0.83f,
};
