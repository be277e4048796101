#pragma once

#include <QFont>
#include <QString>

// The handwriting face of captions, chosen once from what the font database offers.
namespace CaptionFont {

inline const QString preferredFamily = QStringLiteral("Bradley Hand");
inline const QString handwritingFallback = QStringLiteral("Dancing Script");

// The first of the two handwriting families that is installed, else the system font at
// medium weight. Sized at referencePixelSize; callers scale it to the caption's size.
QFont font();
inline constexpr int referencePixelSize = 100;

// Pure choice over a list of installed families, for testing.
QFont choose(bool hasPreferred, bool hasFallback, const QFont &systemFont);

} // namespace CaptionFont
