// Opening a vendor-sized SVD file: about 50 MB generated into a temporary
// file, then read from disk and its registers listed, and one register near
// the end imported, as the chooser and --layout FILE --register do. The same
// file again with a DOCTYPE, which must cost no more. Then two small hostile
// files: arrays nested three deep, and a header of one endless define. Each
// case runs in a child process of its own, so that its peak memory (the
// child's ru_maxrss) is its own; each step is timed over several runs and
// the fastest and the median printed. A plain QXmlStreamReader pass over the
// big file, in a child of its own too, gives the scale. The aim is under a
// second from the file to the layout, and a peak of a small multiple of the
// file's size (a few megabytes for the tiny nested file); nothing is
// asserted here.
#include "files/LayoutFile.h"
#include "files/SvdFile.h"

#include "SvdSample.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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
    std::printf(
        "  %-36s fastest %7.1f ms   median %7.1f ms\n", what, ms.front(), ms[ms.size() / 2]);
}

// A small file that costs far more than its size when it is not bounded:
// `what` reads it once, timed.
int RunHostile(const QString& path, const std::function<QString(const QByteArray&)>& what)
{
    const QByteArray bytes = ReadLayoutFileBytes(path).bytes;
    QString result;
    Time("read", [&] { result = what(bytes); });
    std::printf("  %s\n", qPrintable(result));
    std::fflush(stdout);
    return 0;
}

// One plain XML pass, in the child, for scale.
int RunXmlPass(const QString& path)
{
    const QByteArray bytes = ReadLayoutFileBytes(path).bytes;
    Time("full XML pass", [&] {
        QXmlStreamReader xml(bytes);
        while (!xml.atEnd())
            xml.readNext();
    });
    return 0;
}

// One case, in the child: 0 when the register came with its fields.
int RunCase(const QString& path)
{
    const QByteArray bytes = ReadLayoutFileBytes(path).bytes;
    const SvdFile listed = SvdFile::read(bytes, path);
    if (listed.error() || listed.registerCount() < 7) {
        std::fprintf(stderr, "layout_bench: %s\n",
            listed.error() ? qPrintable(listed.error()->text()) : "no registers");
        return 1;
    }
    const QString chosen = listed.registerAt(listed.registerCount() - 7).qualifiedName();
    std::printf("  %.1f MB, %zu registers; importing %s\n", double(bytes.size()) / 1e6,
        listed.registerCount(), qPrintable(chosen));
    Time("read the file from disk", [&] { ReadLayoutFileBytes(path); });
    Time("list the registers", [&] { SvdFile::read(bytes, path); });
    Time("import one (file already listed)", [&] { listed.importRegister(chosen); });
    std::size_t fields = 0;
    Time("file to layout (--layout --register)",
        [&] { fields = ReadLayoutFile(path, chosen).layout.fields.size(); });
    std::printf("  fields imported: %zu\n", fields);
    std::fflush(stdout);
    return fields == 0;
}

// The case in a child process; false when it failed.
bool Case(const char* title, const std::function<int()>& run, qint64 size)
{
    std::printf("%s\n", title);
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0)
        _exit(run());
    int status = 0;
    rusage usage {};
    if (child < 0 || wait4(child, &status, 0, &usage) != child) {
        std::fprintf(stderr, "layout_bench: cannot run the case\n");
        return false;
    }
    const double peak = double(usage.ru_maxrss) / 1024.0;
    if (size > (1 << 20))
        std::printf("  peak memory %.0f MB, %.1f times the file\n", peak,
            peak * 1024.0 * 1024.0 / double(size));
    else
        std::printf("  peak memory %.0f MB, for a file of %lld bytes\n", peak, qlonglong(size));
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        return true;
    std::fprintf(stderr, "layout_bench: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString plain = dir.filePath(QStringLiteral("vendor.svd"));
    const QString doctype = dir.filePath(QStringLiteral("doctype.svd"));
    const QString nested = dir.filePath(QStringLiteral("nested.svd"));
    const QString longLine = dir.filePath(QStringLiteral("long.h"));
    // Made and written before any child runs, and let go: a child starts
    // with what its parent holds.
    qint64 nestedSize = 0, longSize = 0;
    {
        const QByteArray nestedSvd
            = "<device><peripherals><peripheral><name>P</name><registers><cluster><dim>4096</dim>"
              "<dimIncrement>4</dimIncrement><name>A[%s]</name><cluster><dim>4096</dim>"
              "<dimIncrement>4</dimIncrement><name>B[%s]</name><register><dim>4096</dim>"
              "<dimIncrement>4</dimIncrement><name>R[%s]</name></register></cluster></cluster>"
              "</registers></peripheral></peripherals></device>\n";
        const QByteArray longDefine = "#define A BIT(1)\n#define LONG "
            + QByteArray("(1 << 2) | ").repeated(5000000) + "1\n#define B BIT(2)\n";
        nestedSize = nestedSvd.size();
        longSize = longDefine.size();
        if (!Write(nested, nestedSvd) || !Write(longLine, longDefine))
            return 1;
    }
    qint64 size = 0;
    {
        QByteArray svd = SampleSvd(480);
        size = svd.size();
        if (!Write(plain, svd))
            return 1;
        const qsizetype root = svd.indexOf("<device");
        svd.insert(root, "<!DOCTYPE device [\n  <!ENTITY vendor \"Sample\">\n]>\n");
        if (!Write(doctype, svd))
            return 1;
    }
    const bool ok = Case(
                        "SVD file", [&] { return RunCase(plain); }, size)
        && Case(
            "the same file with a DOCTYPE", [&] { return RunCase(doctype); }, size)
        && Case(
            "for scale: the file read by QXmlStreamReader alone", [&] { return RunXmlPass(plain); },
            size)
        && Case(
            "an SVD file of arrays of 4096 three deep: listed, and one register by name",
            [&] {
                return RunHostile(nested, [&](const QByteArray& bytes) {
                    const SvdFile file = SvdFile::read(bytes, nested);
                    const LayoutResult last
                        = file.importRegister(QStringLiteral("P.A[4095].B[4095].R[4095]"));
                    return QStringLiteral("%1 registers listed; the last by name: %2 field")
                        .arg(file.registerCount())
                        .arg(last.layout.fields.size());
                });
            },
            nestedSize)
        && Case(
            "a C header of one 55 MB define",
            [&] {
                return RunHostile(longLine, [&](const QByteArray& bytes) {
                    const LayoutResult read = ImportLayout(bytes, longLine);
                    return QStringLiteral("%1 fields; %2")
                        .arg(read.layout.fields.size())
                        .arg(read.warnings.empty() ? QString() : read.warnings.front().message);
                });
            },
            longSize);
    return ok ? 0 : 1;
}
