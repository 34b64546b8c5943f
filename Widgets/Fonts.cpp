#include "Widgets/Fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QtGlobal>
#include <array>

namespace {

constexpr std::array<TFontSubstitute, 4> kSubstitutes { {
    { "MS Sans Serif", "Liberation Sans" },
    { "Arial", "Liberation Sans" },
    { "Verdana", "DejaVu Sans" },
    { "Comic Sans MS", "Comic Neue" },
} };

} // namespace

std::span<const TFontSubstitute> FontSubstitutes() {
    return kSubstitutes;
}

QStringList InstallFontSubstitutes() {
    QStringList missing;
    for (const TFontSubstitute& s : kSubstitutes) {
        const QString substitute = QString::fromLatin1(s.Substitute);
        QFont::insertSubstitution(QString::fromLatin1(s.Requested), substitute);
        if (!QFontDatabase::hasFamily(substitute) && !missing.contains(substitute)) {
            missing.append(substitute);
            qWarning("Font \"%s\" is not installed; \"%s\" will not look as designed "
                     "(tools/setup.sh installs it).",
                s.Substitute, s.Requested);
        }
    }
    return missing;
}
