// Skins: any picture is refused with a message or cut and drawn onto a field.
#include "FuzzSupport.h"
#include "render/FieldCanvas.h"
#include "render/Skin.h"

#include <QImageReader>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace kestrum;
    QImageReader::setAllocationLimit(64);
    const QString path = fuzz::writeInput(data, size, "skin");
    QString error;
    const QImage strip = loadBitmap(path, &error);
    const QString problem = skinProblem(strip, 400, path);
    if (strip.isNull() != !error.isEmpty() || (strip.isNull() && problem.isEmpty()))
        std::abort();
    if (!problem.isEmpty())
        return 0;
    const CellPictures pictures = CellPictures::fromStrip(strip);
    FieldCanvas canvas;
    canvas.resize(480, 400);
    canvas.setPictures(&pictures);
    canvas.setGeometry(pictures.cellSize());
    canvas.drawField();
    for (int t = -1; t <= kTileCount; ++t)
        canvas.drawTile(t, 1, t);
    return 0;
}
