// The mount table of a machine with 500 volumes (disks, network shares, FUSE
// mounts, snaps) read and judged, as the folder tree does when its window
// opens and at each change of selection: without a look at any volume, this
// must stay far below a key press (the look at each volume took 0.6 s).
#include "platform/mounttable.h"

#include <benchmark/benchmark.h>

namespace {

QByteArray FiveHundredMounts()
{
    QByteArray text = "28 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n";
    const char* kinds[] = { "- nfs4 server:/export/%1 rw", "- fuse.sshfs u@host:/h/%1 rw", "- squashfs /dev/loop%1 ro",
        "- fuse.korveldead korveldead rw", "- ext4 /dev/vdb%1 rw" };
    for (int i = 0; i < 499; ++i)
        text += QStringLiteral("%1 28 0:%1 / /mnt/volume\\040%1 rw,relatime shared:%1 ").arg(100 + i).toLatin1()
            + QString::fromLatin1(kinds[i % 5]).arg(i).toLatin1() + '\n';
    return text;
}

void BM_ReadAndJudge500Mounts(benchmark::State& state)
{
    const QByteArray text = FiveHundredMounts();
    for (auto _ : state) {
        int remote = 0;
        for (const MountEntry& m : ParseMountInfo(text))
            remote += ClassifyVolume(m.type, m.source, m.mountPoint) == VolumeKind::Remote;
        benchmark::DoNotOptimize(remote);
    }
}
BENCHMARK(BM_ReadAndJudge500Mounts)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
