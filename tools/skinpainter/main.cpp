// Paints the skins, the background and the icon that the game ships in data/.
//   skinpainter --skin FILE --cell N [--scheme NAME]
//   skinpainter --background FILE [--scheme NAME]
//   skinpainter --icon FILE --size N [--scheme NAME]
#include "SkinPainter.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QImageWriter>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption skin("skin", "Write a skin strip (a Windows bitmap).", "file");
    const QCommandLineOption background("background", "Write the background bitmap.", "file");
    const QCommandLineOption icon("icon", "Write the icon (PNG).", "file");
    const QCommandLineOption cell("cell", "Cell size in pixels.", "n", "22");
    const QCommandLineOption size("size", "Icon size in pixels.", "n", "64");
    const QCommandLineOption scheme("scheme", "Colour scheme.", "name", "kestrum");
    parser.addOptions({skin, background, icon, cell, size, scheme});
    parser.process(app);

    const skinpainter::Scheme colours = skinpainter::schemeNamed(parser.value(scheme));
    bool ok = true;
    if (parser.isSet(skin)) {
        const int n = parser.value(cell).toInt();
        if (n < 4 || n > 256) {
            std::fprintf(stderr, "skinpainter: cell size %d is out of range 4..256\n", n);
            return 2;
        }
        QImageWriter writer(parser.value(skin), "BMP");
        ok &= writer.write(skinpainter::paintStrip(n, colours));
    }
    if (parser.isSet(background)) {
        QImageWriter writer(parser.value(background), "BMP");
        ok &= writer.write(skinpainter::paintBackground(colours));
    }
    if (parser.isSet(icon)) {
        QImageWriter writer(parser.value(icon), "PNG");
        ok &= writer.write(skinpainter::paintIcon(parser.value(size).toInt(), colours));
    }
    if (!ok) {
        std::fprintf(stderr, "skinpainter: could not write an output file\n");
        return 1;
    }
    return 0;
}
