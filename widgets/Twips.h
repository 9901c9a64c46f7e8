#pragma once

#include <cmath>

// Window and report measures are given in twips (1440 to the inch); 15 twips make one
// pixel at 96 dpi.
inline int twipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}
