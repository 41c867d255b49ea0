// The program's command line. `bitlens --print TEXT` shows TEXT's number in
// every notation without opening a window; `bitlens TEXT` opens a window
// with TEXT in its Value row. Both read TEXT the way a fresh window's Value
// row reads a typed field, through the same code.
#ifndef BITLENS_COMMANDLINE_H
#define BITLENS_COMMANDLINE_H

#include "engine/BaseConverter.h"
#include "engine/Notation.h"
#include "model/ConverterModel.h"

#include <QStringList>
#include <QTextStream>

// What a launch asks for. The first three open a window, in the running
// instance when there is one.
enum LaunchAction {
    eLaunchToFront, // bare `bitlens`: the running instance's windows come to the front
    eLaunchNewWindow, // --new-window: an empty new window
    eLaunchWithText, // `bitlens TEXT`: a new window with TEXT read into its Value row
    eLaunchPrint,
    eLaunchSearchService, // --search-service: answers the desktop's search, opens no window
    eLaunchHelp,
    eLaunchVersion,
    eLaunchUsageError
};

// A TEXT and how to read it, every choice already made: the notation its
// prefix or --from names, the width to start at, the decimal byte order.
struct TextReading {
    Notation notation = eNotationDecimal;
    UInt16 width = 32;
    Endian endian = eBigEndian;
    QString text;
};

struct Launch {
    LaunchAction action = eLaunchToFront;
    TextReading reading; // for eLaunchWithText and eLaunchPrint
    bool json = false;
    bool strict = false; // characters left unread make a usage error
    bool widthGiven = false; // --width: otherwise a layout's width is the start
    // --layout FILE and --register PERIPHERAL.REGISTER, for eLaunchPrint.
    QString layoutFile;
    QString svdRegister;
    QString error; // for eLaunchUsageError: one line, without the program's name
    // The toolkit's own -platform and -display values, empty when not given.
    QString platform;
    QString display;
};

// Reads `arguments` (the program name first). The toolkit's options
// (-platform offscreen, -style=fusion, --display :1) are skipped, values and
// all, for the application object to take; anything else that looks like an
// option and is not the program's own is a usage error. Needs no display.
Launch ParseLaunch(const QStringList& arguments);

bool OpensWindow(const Launch& launch);

// The document a new window holds once `reading.text` is typed into its
// Value row's field: the same verbs the window's controls call.
ConverterModel ReadText(const TextReading& reading);
// Whether the Value row holds the whole number its text spelt (at most 64
// bits).
bool Fits(const ConverterModel& model);

// Carries out a launch that opens no window and returns the exit status:
// 0 when done, with a warning line on `err` for what the field did not read
// as typed; 1 when the number does not fit in 64 bits (a warning line too),
// a calculation divides by zero or the --layout FILE cannot be read as a
// layout (nothing printed; one line naming the file, the line and the
// problem) or `out` cannot be written; 2 for a usage error (one line saying
// why and the usage go to `err`): an SVD FILE without --register or without
// the register it names, --register with a FILE that is no SVD file; 2 also,
// with one line saying why and no usage, for a TEXT that is a calculation
// not yet whole or, with --strict, a TEXT not read as typed (cut included).
int RunCommandLine(const Launch& launch, QTextStream& out, QTextStream& err);
int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err);

#endif
