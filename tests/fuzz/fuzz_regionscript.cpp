// Region scripts as the shaped windows translate them: in the window's box.
#include "fuzzsupport.h"

#include "components/kiterrors.h"
#include "components/regionscript.h"

#include <cstdlib>

namespace {

Fuzz::Seeds seeds()
{
    return { "R0,0,W,H\r\nD\r\nE10,10,W-10,H-10\r\n",
        "{\r\nX\r\nU-5,-5,W/2,(H+C)*2,20,-20\r\n}\r\nL0,0,100,0,50,80\r\nW0,0,100,0,50,80,0,40\r\n",
        "TCB W/2,H,kruh\r\nTLTX,Y,chybi\r\nA\r\nR-(-(1)),--2,3*4/2,2147483647\r\n",
        // Once the magnitude of INT_MIN, and polygons across all 16 bits.
        "U0,0,10,10,-2147483647-1,5\r\n", "L-32768,-32768,32767,-32768,-32768,32767\r\n",
        "W-32768,-32768,32767,-32768,32767,32767,-32768,32767,0,0,32767,-32768\r\n" };
}

void run(const QByteArray& input)
{
    RegionScriptContext context;
    context.metrics = { 4, 23, 4, 296, 196, 300, 200 };
    const QRect window(0, 0, 300, 200);
    context.bounds = window;
    context.findExternal = [](const QString& name) -> std::optional<ExternalShape> {
        if (name != QStringLiteral("KRUH"))
            return std::nullopt;
        return ExternalShape { QRegion(0, 0, 40, 30, QRegion::Ellipse), name.size() > 4 ? 100 : -1, -1 };
    };
    context.externalNotFound = [](const QString&) {};
    const QString script = Fuzz::text(input);
    try {
        const std::optional<QRegion> region = TranslateRegionScript(script, context);
        if (region && !window.contains(region->boundingRect()) && !region->isEmpty())
            std::abort();
    } catch (const ECannotTranslate&) {
    }
    (void)RegionScriptNames(script, QStringLiteral("kruh"));
    (void)RenameInRegionScript(script, QStringLiteral("kruh"), QStringLiteral("ctverec"));
}

} // namespace

KORVEL_FUZZ_TARGET(seeds, run)
