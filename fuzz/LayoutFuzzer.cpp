// One layout importer over any bytes. The build makes one target per
// importer, naming it in FUZZ_IMPORTER. Whatever the bytes, an import ends
// in a sound layout or in one error with a message; a layout it gives
// survives the program's own file unchanged, and the exporters take it.
#include "FuzzCommon.h"

#include "files/BitlensLayoutFile.h"
#include "files/CHeaderFile.h"
#include "files/SvdFile.h"
#include "files/WavedromFile.h"

namespace {

enum Importer { kBitlens, kWavedrom, kSvd, kCHeader };

void CheckError(const LayoutFileError& error)
{
    FUZZ_REQUIRE(!error.message.isEmpty());
    FUZZ_REQUIRE(error.line >= 0);
    FUZZ_REQUIRE(error.file == QLatin1String("fuzz"));
}

// Only the program's own file may hold a layout of no fields yet, or
// fields past bit 63.
void CheckImport(const LayoutResult& result, bool own = false)
{
    for (const LayoutFileError& warning : result.warnings)
        CheckError(warning);
    if (!result.ok()) {
        CheckError(*result.error);
        FUZZ_REQUIRE(result.layout.fields.empty());
        return;
    }
    const BitFieldLayout& layout = result.layout;
    FUZZ_REQUIRE(LayoutProblems(layout, own ? kHighestBit : kHighestVendorBit).empty());
    FUZZ_REQUIRE(own || !layout.fields.empty());
    const LayoutResult back
        = ImportBitlensLayout(ExportBitlensLayout(layout), QStringLiteral("fuzz"));
    FUZZ_REQUIRE(back.ok() && back.layout == layout);

    const WavedromExport diagram = ExportWavedrom(layout);
    const LayoutResult drawn = ImportWavedrom(diagram.bytes, QStringLiteral("fuzz"));
    FUZZ_REQUIRE(drawn.ok() == (diagram.leftOut.size() < layout.fields.size()));
    FUZZ_REQUIRE(!ExportCHeader(layout, QStringLiteral("P_")).isEmpty());
    for (const BitField& field : layout.fields) {
        const UInt128 number = WithFieldValue(field, ~UInt128(0), 0);
        FUZZ_REQUIRE(FieldValue(field, number) == 0);
        FUZZ_REQUIRE((number | FieldMask(field)) == ~UInt128(0));
        FUZZ_REQUIRE(FieldValue(field, WithFieldValue(field, 0, ~UInt64(0)))
            == WidthMask(unsigned(FieldWidth(field))));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString file = QStringLiteral("fuzz");
    switch (Importer(FUZZ_IMPORTER)) {
    case kBitlens: CheckImport(ImportBitlensLayout(bytes, file), true); break;
    case kWavedrom: CheckImport(ImportWavedrom(bytes, file)); break;
    case kCHeader: CheckImport(ImportCHeader(bytes, file)); break;
    case kSvd: {
        const SvdFile svd = SvdFile::read(bytes, file);
        const std::size_t count = svd.registerCount();
        FUZZ_REQUIRE(bool(svd.error()) == false || count == 0);
        if (svd.error())
            CheckError(*svd.error());
        // The first registers and the last: derived ones come late. Each is
        // found again by the name it is listed by.
        for (std::size_t i = 0; i < count; i = i == 3 && count > 8 ? count - 4 : i + 1) {
            CheckImport(svd.importRegister(i));
            const LayoutResult named = svd.importRegister(svd.registerAt(i).qualifiedName());
            FUZZ_REQUIRE(!named.error || named.error->kind != eLayoutErrorUnknownRegister);
        }
        CheckImport(svd.importRegister(QStringLiteral("P.R")));
        break;
    }
    }
    return 0;
}
