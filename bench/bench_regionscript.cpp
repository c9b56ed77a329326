// Region scripts are translated again on every resize step of a shaped
// window: the reminder pop-up's two scripts, and the largest ellipse and
// polygon a script can ask for.
#include "components/regionscript.h"

#include <benchmark/benchmark.h>

namespace {

const QString Body = QStringLiteral("L259,21,9,371,50,450,550,450,591,371,341,21\r\nO\r\nE250,0,350,100\r\nO\r\nE0,350,"
                                    "100,450\r\nO\r\nE500,350,600,450");
const QString Ring = QStringLiteral("{\r\n") + Body
    + QStringLiteral("\r\n}\r\nX\r\n{\r\nL267,27,17,377,50,440,550,440,583,377,332,27\r\nO\r\nE260,10,340,90\r\nO\r\n"
                     "E10,360,90,440\r\nO\r\nE510,360,590,440\r\n}");

void translate(benchmark::State& state, const QString& script)
{
    RegionScriptContext context;
    context.metrics.R = context.metrics.W = 600;
    context.metrics.B = context.metrics.H = 450;
    for (auto _ : state)
        benchmark::DoNotOptimize(TranslateRegionScript(script, context));
}

void BM_PopupShape(benchmark::State& state)
{
    translate(state, Body);
}
BENCHMARK(BM_PopupShape);

void BM_PopupCaptionRing(benchmark::State& state)
{
    translate(state, Ring);
}
BENCHMARK(BM_PopupCaptionRing);

void BM_LargestEllipse(benchmark::State& state)
{
    translate(state, QStringLiteral("E-2147483647-1,-2147483647-1,2147483647,2147483647"));
}
BENCHMARK(BM_LargestEllipse)->Unit(benchmark::kMillisecond);

// A polygon across the whole 16-bit range, with edges crossing on every line.
void BM_LargestPolygon(benchmark::State& state)
{
    translate(state, QStringLiteral("W-32768,-32768,32767,32767,32767,-32768,-32768,32767,0,-32768,0,32767"));
}
BENCHMARK(BM_LargestPolygon)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
