// A C header's #define lines as the header importer reads them: each one's
// name, body and comments, the body's value as a C constant expression, and
// the form a field or a value is written in. Defines may use one another in
// any order; nothing of the preprocessor beyond them is followed (#if is
// not: every define of the file is read, the first of a name used).
#ifndef BITLENS_CHEADERFILEDEFINES_H
#define BITLENS_CHEADERFILEDEFINES_H

#include "engine/BaseConverter.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

// Past this a define's body is not read: no field or value is written so
// long, and a file of one endless line must cost no more than its size.
constexpr qsizetype kMaxDefineBody = 4096;

struct CDefine {
    QByteArray name;
    QByteArray body; // trimmed; empty when the define is too long
    QString comment; // on the define's own lines, markers taken out
    QString heading; // a comment alone on the line just before
    int line = 0;
    bool tooLong = false;
};

// How a define's body is written, outer parentheses, casts and U(), UL()
// and ULL() taken off.
struct CForm {
    enum Kind {
        eUnread, // not a constant expression of known names
        eNumber, // any other expression: `value`
        eGenmask, // GENMASK(h, l) and its kin: `value` h, `other` l
        eBit, // BIT(n) and its kin: `value` n
        eShift, // A << B alone: `value` A, `other` B
        eAlias, // one name of another define: `alias`
    };
    Kind kind = eUnread;
    UInt64 value = 0;
    UInt64 other = 0;
    QByteArray alias;
};

class CDefines {
public:
    explicit CDefines(const QByteArray& bytes);

    const std::vector<CDefine>& all() const { return fDefines; }
    // The first define of `name`, or -1.
    int find(const QByteArray& name) const { return fByName.value(name, -1); }
    // The value C gives the define's body, or nothing when it is not a
    // constant of known names (a division by 0 included).
    std::optional<UInt64> value(int index) const;
    CForm form(int index) const;
    // The include guard: the name of an #ifndef that the next line defines
    // empty; empty when the file has none.
    const QByteArray& guard() const { return fGuard; }

private:
    std::vector<CDefine> fDefines;
    QHash<QByteArray, int> fByName;
    QByteArray fGuard;
    // value() remembers: 0 not yet, 1 under way (a define that uses itself
    // has no value), 2 known.
    mutable std::vector<char> fState;
    mutable std::vector<std::optional<UInt64>> fValues;

    friend class CExpression;
    std::optional<UInt64> value(int index, int depth) const;
};

#endif
