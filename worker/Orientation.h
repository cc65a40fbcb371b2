// Pixels turned as a camera's orientation (1 to 8) says the picture is
// shown: 2 mirrored, 3 a half turn, 4 flipped, 5 transposed, 6 a quarter
// turn to the right, 7 transversed, 8 a quarter turn to the left.
#pragma once

#include <cstdint>

// Writes the width x height pixels of 4 bytes each (rows without padding)
// to out, as shown; out holds as many bytes. The shown size: swapped for
// 5 to 8. Any other orientation copies them as they are.
void OrientPixels(const uint8_t* in, int32_t width, int32_t height, int32_t orientation, uint8_t* out,
                  int32_t& shownWidth, int32_t& shownHeight);
