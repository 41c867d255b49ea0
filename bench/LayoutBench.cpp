// Opening a vendor-sized SVD file: about 50 MB generated into a temporary
// file, then read from disk and its registers listed, and one register near
// the end imported, as the chooser and --layout FILE --register do. Each
// step is timed over several runs and the fastest and the median printed,
// beside one plain QXmlStreamReader pass over the same bytes for scale.
// The aim is under a second from the file to the layout; nothing is
// asserted here.
#include "files/LayoutFile.h"
#include "files/SvdFile.h"

#include "SvdSample.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRuns = 5;

void Time(const char* what, const std::function<void()>& step)
{
    std::vector<double> ms;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        step();
        ms.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-34s fastest %7.1f ms   median %7.1f ms\n", what, ms.front(), ms[ms.size() / 2]);
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("vendor.svd"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(SampleSvd(480)) < 0) {
            std::fprintf(stderr, "layout_bench: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const QByteArray bytes = ReadLayoutFileBytes(path).bytes;
    const SvdFile listed = SvdFile::read(bytes, path);
    if (listed.error() || listed.registerCount() == 0) {
        std::fprintf(stderr, "layout_bench: %s\n",
            listed.error() ? qPrintable(listed.error()->text()) : "no registers");
        return 1;
    }
    const QString chosen = listed.registerAt(listed.registerCount() - 7).qualifiedName();
    std::printf("SVD file: %.1f MB, %zu registers; importing %s\n", double(bytes.size()) / 1e6,
        listed.registerCount(), qPrintable(chosen));

    Time("full XML pass (for scale)", [&] {
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd())
            xml.readNext();
    });
    Time("read the file from disk", [&] { ReadLayoutFileBytes(path); });
    Time("list the registers", [&] { SvdFile::read(bytes, path); });
    Time("import one (file already listed)", [&] { listed.importRegister(chosen); });
    std::size_t fields = 0;
    Time("file to layout (--layout --register)",
        [&] { fields = ReadLayoutFile(path, chosen).layout.fields.size(); });
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf(
        "fields imported: %zu; peak memory %.0f MB\n", fields, double(usage.ru_maxrss) / 1024.0);
    return fields == 0;
}
