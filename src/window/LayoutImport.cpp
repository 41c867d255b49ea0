#include "LayoutImport.h"

#include "files/BitlensLayoutFile.h"
#include "files/CHeaderFile.h"
#include "files/WavedromFile.h"

#include <QAbstractTableModel>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QThread>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// The registers, read-only, as the chooser lists them.
class RegisterTable : public QAbstractTableModel {
public:
    // Each row is made when it is shown: a file may list millions.
    explicit RegisterTable(const SvdFile& file, QObject* parent)
        : QAbstractTableModel(parent)
        , fFile(file)
    { }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : int(fFile.registerCount());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
            return {};
        const SvdRegister entry = this->entry(index.row());
        switch (index.column()) {
        case 0: return entry.peripheral;
        case 1: return entry.name;
        default: return entry.description.simplified();
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        switch (section) {
        case 0: return SvdRegisterDialog::tr("Peripheral");
        case 1: return SvdRegisterDialog::tr("Register");
        default: return SvdRegisterDialog::tr("Description");
        }
    }
    SvdRegister entry(int row) const { return fFile.registerAt(std::size_t(row)); }

private:
    SvdFile fFile;
};

class RegisterFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    void setWords(const QString& words)
    {
        fWords = words;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex&) const override
    {
        return SvdRegisterMatches(static_cast<RegisterTable*>(sourceModel())->entry(row), fWords);
    }

private:
    QString fWords;
};

// The folder of the last file imported or exported, where both dialogs
// start for the rest of the session.
QString& LastFolder()
{
    static QString folder;
    return folder;
}

void Remember(const QString& path)
{
    LastFolder() = QFileInfo(path).absolutePath();
}

// A message box that holds up nothing: the window goes on while it shows.
void Tell(QWidget& window, QMessageBox::Icon icon, const QString& title, const QString& text,
    const char* name)
{
    auto* box = new QMessageBox(icon, title, text, QMessageBox::Ok, &window);
    box->setObjectName(QLatin1String(name));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->open();
}

} // namespace

// What the worker reads, handed back whole once it is done.
struct LayoutImport::Job {
    QString path;
    std::optional<LayoutFileError> error;
    bool svd = false;
    SvdFile outline;
    LayoutResult result;
};

LayoutImport::LayoutImport(QWidget& window, QObject* parent, Done done)
    : QObject(parent)
    , fWindow(window)
    , fDone(std::move(done))
{ }

// A window closed while a file is read waits for the read, at most the
// fraction of a second a large file takes: a worker must not outlive the
// program.
LayoutImport::~LayoutImport()
{
    for (const QPointer<QThread>& worker : fWorkers)
        if (worker)
            worker->wait();
}

void LayoutImport::chooseFile()
{
    const QString path = QFileDialog::getOpenFileName(&fWindow, tr("Import Layout"), LastFolder(),
        tr("Layouts (*.svd *.xml *.json *.json5 *.js *.h);;All files (*)"));
    if (path.isEmpty())
        return;
    Remember(path);
    start(path);
}

void LayoutImport::start(const QString& path)
{
    auto job = std::make_shared<Job>();
    job->path = path;
    fLatest = job;
    ++fReading;
    fWindow.setCursor(Qt::BusyCursor);
    // Only the job is shared with the worker; it reads no member.
    QThread* worker = QThread::create([job] {
        LayoutFileBytes read = ReadLayoutFileBytes(job->path);
        if (read.error) {
            job->error = read.error;
            return;
        }
        job->svd = DetectLayoutFormat(read.bytes) == eLayoutFormatSvd;
        if (job->svd)
            job->outline = SvdFile::read(read.bytes, job->path);
        else
            job->result = ImportLayout(read.bytes, job->path);
    });
    // Queued to this thread; dropped with this object if the window goes first.
    connect(worker, &QThread::finished, this, [this, job] { finish(job); });
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    fWorkers.erase(std::remove_if(fWorkers.begin(), fWorkers.end(),
                       [](const QPointer<QThread>& done) { return done.isNull(); }),
        fWorkers.end());
    fWorkers.emplace_back(worker);
    worker->start();
}

void LayoutImport::finish(const std::shared_ptr<Job>& job)
{
    if (--fReading == 0)
        fWindow.unsetCursor();
    if (job != fLatest)
        return;
    fLatest.reset();
    if (job->error)
        fail(*job->error);
    else if (job->svd && job->outline.error())
        fail(*job->outline.error());
    else if (job->svd && job->outline.registerCount() == 1)
        openRegister(job->outline, 0);
    else if (job->svd)
        chooseRegister(job->outline, job->path);
    else if (!job->result.ok())
        fail(*job->result.error);
    else
        fDone(job->result);
    emit read();
}

void LayoutImport::chooseRegister(const SvdFile& file, const QString& path)
{
    auto* chooser = new SvdRegisterDialog(file, path, &fWindow);
    chooser->setAttribute(Qt::WA_DeleteOnClose);
    // The outline goes with the dialog; a register's fields are read when chosen.
    connect(chooser, &QDialog::accepted, this, [this, chooser, file] {
        const int index = chooser->chosen();
        if (index >= 0)
            openRegister(file, std::size_t(index));
    });
    chooser->open();
}

void LayoutImport::openRegister(const SvdFile& file, std::size_t index)
{
    const LayoutResult result = file.importRegister(index);
    if (result.ok())
        fDone(result);
    else
        fail(*result.error);
}

void LayoutImport::fail(const LayoutFileError& error)
{
    Tell(fWindow, QMessageBox::Warning, tr("Import Layout"),
        tr("Nothing was imported.\n%1").arg(error.text()), "layoutImportError");
}

// --- The register chooser ------------------------------------------------------

SvdRegisterDialog::SvdRegisterDialog(const SvdFile& registers, const QString& file, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("svdRegisterDialog"));
    setWindowTitle(tr("Choose a Register"));
    auto* column = new QVBoxLayout(this);
    auto* heading = new QLabel(tr("Registers in %1: %2. Choose one:")
                                   .arg(QFileInfo(file).fileName())
                                   .arg(registers.registerCount()),
        this);
    column->addWidget(heading);

    fFilter = new QLineEdit(this);
    fFilter->setObjectName(QStringLiteral("svdRegisterFilter"));
    fFilter->setPlaceholderText(tr("Filter: peripheral, register or description"));
    fFilter->setAccessibleName(tr("Register filter"));
    fFilter->setToolTip(tr("Every word typed must be in the register's name or description"));
    fFilter->setClearButtonEnabled(true);
    column->addWidget(fFilter);

    auto* table = new RegisterTable(registers, this);
    fFiltered = new RegisterFilter(this);
    fFiltered->setSourceModel(table);
    fList = new QTableView(this);
    fList->setObjectName(QStringLiteral("svdRegisterList"));
    fList->setAccessibleName(tr("Registers"));
    fList->setModel(fFiltered);
    fList->setSelectionBehavior(QAbstractItemView::SelectRows);
    fList->setSelectionMode(QAbstractItemView::SingleSelection);
    fList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fList->setTabKeyNavigation(false);
    fList->verticalHeader()->hide();
    fList->horizontalHeader()->setStretchLastSection(true);
    // Array elements and alternate groups make long names: SRCFCTR[1063],
    // MCS_I2C0_ALT, CH[2].CTRL.
    fList->setColumnWidth(1, fList->fontMetrics().averageCharWidth() * 20);
    fList->setWordWrap(false);
    column->addWidget(fList, 1);
    heading->setBuddy(fList);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    column->addWidget(buttons);
    resize(640, 480);

    // The first match, chosen and in view, as each word is typed.
    const auto selectFirst = [this] {
        if (fFiltered->rowCount() == 0)
            return;
        fList->selectRow(0);
        fList->scrollToTop();
    };
    connect(fFilter, &QLineEdit::textChanged, this, [this, selectFirst](const QString& words) {
        static_cast<RegisterFilter*>(fFiltered)->setWords(words);
        selectFirst();
    });
    // Down from the filter goes to the list, as in a search field.
    fFilter->installEventFilter(this);
    connect(fList, &QTableView::activated, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    selectFirst();
    fFilter->setFocus();
}

SvdRegisterDialog::~SvdRegisterDialog() = default;

bool SvdRegisterDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == fFilter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Down || key == Qt::Key_PageDown) {
            fList->setFocus(Qt::TabFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

int SvdRegisterDialog::chosen() const
{
    const QModelIndexList rows = fList->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return -1;
    return fFiltered->mapToSource(rows.front()).row();
}

// --- Export --------------------------------------------------------------------

QString ExportLayoutTo(const BitFieldLayout& layout, const QString& path, LayoutExportFormat format,
    QStringList* leftOut)
{
    QByteArray bytes;
    switch (format) {
    case eExportCHeader: {
        // Fields are prefixed with the layout's name unless they carry it.
        QString prefix = FromUtf8(layout.name) + QLatin1Char('_');
        for (QChar& c : prefix)
            if (!c.isLetterOrNumber())
                c = u'_';
        const bool carried
            = std::all_of(layout.fields.begin(), layout.fields.end(), [&](const BitField& field) {
                  return FromUtf8(field.name).startsWith(prefix, Qt::CaseInsensitive);
              });
        bytes = ExportCHeader(layout, carried || layout.name.empty() ? QString() : prefix);
        break;
    }
    case eExportWavedrom: {
        const WavedromExport diagram = ExportWavedrom(layout);
        bytes = diagram.bytes;
        if (leftOut)
            for (const std::size_t index : diagram.leftOut)
                leftOut->append(FromUtf8(layout.fields[index].name));
        break;
    }
    case eExportBitlens: bytes = ExportBitlensLayout(layout); break;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    return {};
}

void ExportLayoutInteractively(QWidget& window, const BitFieldLayout& layout)
{
    const QString filters[] = { LayoutImport::tr("C header (*.h)"),
        LayoutImport::tr("Bit-field JSON, wavedrom (*.json)"),
        LayoutImport::tr("Bitlens layout (*.json)") };
    const char* const suffixes[] = { ".h", ".json", ".json" };
    QString chosen = filters[0];
    const QString named = FromUtf8(layout.name).replace(u'/', u'_') + QLatin1String(suffixes[0]);
    QString path = QFileDialog::getSaveFileName(&window, LayoutImport::tr("Export Layout"),
        LastFolder().isEmpty() ? named : QDir(LastFolder()).filePath(named),
        QStringList(std::begin(filters), std::end(filters)).join(QStringLiteral(";;")), &chosen);
    if (path.isEmpty())
        return;
    Remember(path);
    const int format = std::max<int>(0,
        int(std::find(std::begin(filters), std::end(filters), chosen) - std::begin(filters)) % 3);
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1String(suffixes[format]);
    QStringList leftOut;
    const QString problem
        = ExportLayoutTo(layout, path, static_cast<LayoutExportFormat>(format), &leftOut);
    if (!problem.isEmpty())
        Tell(window, QMessageBox::Warning, LayoutImport::tr("Export Layout"),
            LayoutImport::tr("The layout was not written.\n%1").arg(problem), "layoutExportError");
    else if (!leftOut.isEmpty())
        Tell(window, QMessageBox::Information, LayoutImport::tr("Export Layout"),
            LayoutImport::tr("A bit-field diagram cannot show fields that overlap; left out: %1")
                .arg(leftOut.join(QStringLiteral(", "))),
            "layoutExportNote");
}
