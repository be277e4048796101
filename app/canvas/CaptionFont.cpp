#include "app/canvas/CaptionFont.h"

#include <QFontDatabase>

namespace CaptionFont {

QFont choose(bool hasPreferred, bool hasFallback, const QFont &systemFont)
{
    QFont chosen = systemFont;
    if (hasPreferred || hasFallback) {
        chosen = QFont(hasPreferred ? preferredFamily : handwritingFallback);
    } else {
        chosen.setWeight(QFont::Medium);
    }
    // A large reference size scaled down by the painter keeps fractional caption sizes exact.
    chosen.setPixelSize(referencePixelSize);
    chosen.setHintingPreference(QFont::PreferNoHinting);
    return chosen;
}

QFont font()
{
    static const QFont resolved = choose(QFontDatabase::hasFamily(preferredFamily),
                                         QFontDatabase::hasFamily(handwritingFallback),
                                         QFontDatabase::systemFont(QFontDatabase::GeneralFont));
    return resolved;
}

} // namespace CaptionFont
