// File › Import Layout… and File › Export Layout…: the file dialogs, the
// reading of a file on a worker thread so that a 50 MB SVD file freezes
// nothing, the chooser of an SVD file's register, and the messages a bad
// file gets.
#ifndef BITLENS_LAYOUTIMPORT_H
#define BITLENS_LAYOUTIMPORT_H

#include "files/LayoutFile.h"
#include "files/SvdFile.h"

#include <QDialog>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class QLineEdit;
class QThread;
class QSortFilterProxyModel;
class QTableView;

class LayoutImport : public QObject {
    Q_OBJECT

public:
    using Done = std::function<void(const LayoutResult& result)>;

    // `done` gets each layout imported; it is never called for a file that
    // gives none, so what is open stays as it was.
    LayoutImport(QWidget& window, QObject* parent, Done done);
    ~LayoutImport() override;

    // Asks for a file, then start().
    void chooseFile();
    // Reads `path` on a worker thread and hands the outcome back to this
    // thread: a layout goes to `done`; an SVD file's registers are offered
    // in a chooser (SvdRegisterDialog) first, unless it has only one; a bad
    // file is told in a message box (objectName "layoutImportError") naming
    // the file, the line and the problem. A file asked for while one is
    // read waits for nothing: the later one wins and the earlier one is
    // dropped.
    void start(const QString& path);
    bool busy() const { return fReading > 0; }

signals:
    // The file has been read: the layout handed over, the chooser shown or
    // the error told.
    void read();

private:
    struct Job;
    // A file of one register opens it without asking; of more, asks which.
    void finish(const std::shared_ptr<Job>& job);
    void chooseRegister(const SvdFile& file, const QString& path);
    void openRegister(const SvdFile& file, std::size_t index);
    void fail(const LayoutFileError& error);

    QWidget& fWindow;
    Done fDone;
    int fReading = 0;
    std::vector<QPointer<QThread>> fWorkers;
    std::shared_ptr<Job> fLatest;
};

// The registers of an SVD file, by peripheral and register, with a filter
// (SvdRegisterMatches) above them.
class SvdRegisterDialog : public QDialog {
    Q_OBJECT

public:
    SvdRegisterDialog(const SvdFile& registers, const QString& file, QWidget* parent);
    ~SvdRegisterDialog() override;

    // The chosen register's index in the file's listing, -1 for none.
    int chosen() const;
    QLineEdit* filter() const { return fFilter; }
    QTableView* list() const { return fList; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* fFilter = nullptr;
    QTableView* fList = nullptr;
    QSortFilterProxyModel* fFiltered = nullptr;
};

enum LayoutExportFormat { eExportCHeader, eExportWavedrom, eExportBitlens };

// Writes the layout to `path` atomically in `format`; returns what went
// wrong, or an empty text. The fields a wavedrom diagram cannot hold
// (overlapping ones) are named in `leftOut`.
QString ExportLayoutTo(const BitFieldLayout& layout, const QString& path, LayoutExportFormat format,
    QStringList* leftOut = nullptr);

// Asks where and in which format (by the dialog's file type), then writes.
void ExportLayoutInteractively(QWidget& window, const BitFieldLayout& layout);

#endif
