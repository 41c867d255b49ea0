// The program's command line: `bitlens --print TEXT` shows TEXT's number in
// every notation without opening a window. It reads TEXT the way a fresh
// window's Value row reads a typed field, through the same code.
#ifndef BITLENS_COMMANDLINE_H
#define BITLENS_COMMANDLINE_H

#include <QStringList>
#include <QTextStream>

// Whether `arguments` (the program name first) ask for the command line
// rather than a window: a long option other than the toolkit's own, or a
// one-letter option such as -h. The toolkit's options (-style, -platform,
// --platform=offscreen) still open a window.
bool IsCommandLineInvocation(const QStringList& arguments);

// Carries out the command line in `arguments` (the program name first) and
// returns the exit status: 0 when done, 2 when the arguments cannot be used
// (one line saying why and the usage go to `err`). Needs no display.
int RunCommandLine(const QStringList& arguments, QTextStream& out, QTextStream& err);

#endif
