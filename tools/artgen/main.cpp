// pellium-artgen: writes the program's artwork into the resources folder given as the first
// argument (each picture of the board and the buttons also as a "@2x" twin, the same drawing at
// twice the resolution, and the desktop icon set in icons/); with a second argument it also
// writes enlarged previews into that folder.
#include "BmpFile.h"
#include "Glyphs.h"
#include "Palette.h"
#include "PieceSet.h"
#include "Previews.h"
#include "ProgramIcon.h"
#include "Textures.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

using namespace artgen;

namespace {

const char* const kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

bool SavePreview(const QString& dir, const QString& name, const QImage& image) {
    if (dir.isEmpty()) return true;
    const QString path = QDir(dir).filePath(name);
    if (!image.save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// The 2x twins of the piece set, textures and glyphs.
bool WriteTwins(const QDir& out, const PieceArt& pieces) {
    constexpr int scale = 2;
    const QImage sheet = RenderPieceSheet(pieces, scale);
    return !sheet.isNull()
        && WriteFile(out.filePath("PIECESET40@2x.bmp"), EncodeBmp8(ToIndexed256(sheet)))
        && WriteFile(out.filePath("SquareLight@2x.bmp"), EncodeBmp24(RenderLightSquares(scale)))
        && WriteFile(out.filePath("SquareDark@2x.bmp"), EncodeBmp24(RenderDarkSquares(scale)))
        && WriteFile(out.filePath("BorderTexture@2x.bmp"), EncodeBmp24(RenderBorder(scale)))
        && WriteFile(out.filePath("AboutGlyph@2x.bmp"), EncodeBmp24(RenderAboutGlyph(scale)))
        && WriteFile(out.filePath("OkGlyph@2x.bmp"), EncodeBmp24(RenderOkGlyph(scale)));
}

// The desktop icon set: icons/pellium-<size>.png for each size and icons/pellium.svg.
bool WriteIconSet(const QDir& out, const PieceArt& pieces) {
    if (!out.mkpath(QStringLiteral("icons"))) return false;
    const QDir icons(out.filePath(QStringLiteral("icons")));
    for (const int size : kIconSizes) {
        const QString path = icons.filePath(QStringLiteral("pellium-%1.png").arg(size));
        if (!RenderDesktopIcon(pieces, size).save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return false;
        }
    }
    const QByteArray svg = RenderDesktopIconSvg(pieces);
    return !svg.isEmpty() && WriteFile(icons.filePath(QStringLiteral("pellium.svg")), svg);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: pellium-artgen RESOURCES_DIR [PREVIEW_DIR]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    const QString previews = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (!previews.isEmpty()) QDir().mkpath(previews);

    BoardArt art;
    const PieceArt pieces(QString::fromLatin1(kFontFile));
    const QImage sheet = RenderPieceSheet(pieces);
    if (sheet.isNull()) return 1;
    const QImage indexed = ToIndexed256(sheet);
    art.sheet = indexed.convertToFormat(QImage::Format_RGB32);
    art.light = RenderLightSquares();
    art.dark = RenderDarkSquares();
    art.border = RenderBorder();

    bool ok = WriteFile(out.filePath("PIECESET40.bmp"), EncodeBmp8(indexed))
        && WriteFile(out.filePath("SquareLight.bmp"), EncodeBmp24(art.light))
        && WriteFile(out.filePath("SquareDark.bmp"), EncodeBmp24(art.dark))
        && WriteFile(out.filePath("BorderTexture.bmp"), EncodeBmp24(art.border));

    const QImage aboutGlyph = RenderAboutGlyph();
    const QImage okGlyph = RenderOkGlyph();
    ok = ok && WriteFile(out.filePath("AboutGlyph.bmp"), EncodeBmp24(aboutGlyph))
        && WriteFile(out.filePath("OkGlyph.bmp"), EncodeBmp24(okGlyph));

    const ProgramIcon icon = RenderProgramIcon(pieces);
    ok = ok && WriteFile(out.filePath("Pellium.ico"), EncodeIco4(icon.indexed, icon.opaque))
        && icon.rgba.save(out.filePath("Pellium.png"));

    ok = ok && WriteTwins(out, pieces) && WriteIconSet(out, pieces);

    ok = ok && SavePreview(previews, "pieceset-x4.png", Enlarge(art.sheet, 4))
        && SavePreview(previews, "pieceset-on-squares-x4.png", Enlarge(ComposeSheetCheck(art), 4))
        && SavePreview(previews, "textures-x2.png", Enlarge(ComposeTextures(art), 2))
        && SavePreview(previews, "board-36.png", ComposeBoard(art, 36, 24))
        && SavePreview(previews, "board-36-x2.png", Enlarge(ComposeBoard(art, 36, 24), 2))
        && SavePreview(previews, "board-40.png", ComposeBoard(art, 40, 24))
        && SavePreview(previews, "glyphs-x8.png", Enlarge(ComposeGlyphs(aboutGlyph, okGlyph), 8))
        && SavePreview(previews, "icon-x8.png", Enlarge(ComposeIcon(icon.rgba), 8));
    return ok ? 0 : 1;
}
