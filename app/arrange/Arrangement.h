#pragma once

#include "core/CollageModel.h"

#include <QSizeF>

class QRandomGenerator;

// The two one-click layouts, as plain functions from a collage and a screen size (canvas
// coordinates: origin at the bottom-left, y up) to the new collage. Only centres and
// rotations change; sizes, crops, captions, flips and the stacking order stay.
namespace Arrangement {

inline constexpr double tidyGap = 24;
inline constexpr double scatterMargin = 48;
inline constexpr double scatterGap = 44;
inline constexpr double scatterJitter = 0.9; // of a cell's free half-space
inline constexpr double maxScatterTilt = 0.35;

// A centred grid of equal cells, row by row from the top-left, bottom-most photo first,
// every photo straight. Repeating it gives the same layout.
CollageModel tidyUp(const CollageModel &model, QSizeF screen);

// Each photo in a random cell of its own of a grid filling the screen within its margins,
// moved at random inside the cell and tilted, its frame kept on the screen. Nothing when the
// screen is too small for the margins.
std::optional<CollageModel> scatter(const CollageModel &model, QSizeF screen, QRandomGenerator &random);

} // namespace Arrangement
