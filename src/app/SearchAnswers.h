// What Bitlens answers when a query is typed into the desktop's search:
// the notations of the query's number that matter most, at most three.
// Nothing here knows of the bus; the search service asks these functions
// and sends their answers on.
#ifndef BITLENS_SEARCHANSWERS_H
#define BITLENS_SEARCHANSWERS_H

#include "engine/BaseConverter.h"
#include "engine/Notation.h"
#include "engine/WideInteger.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A query that reads as a number.
struct QueryReading {
    BaseConverter number;
    Endian endian = eBigEndian;
    // How it was written; the answers show it in other notations.
    Notation notation = eNotationDecimal;
    // A decimal number with no prefix and no operator, which answers only
    // from 256 up: small numbers turn up in too many searches.
    bool bareDecimal = false;
    // A calculation, whose result in decimal is answered first.
    bool calculation = false;
    // An IPv6 address or a UUID: 128 bits, which `number` does not hold.
    enum Wide { eNarrow, eIPv6, eUuid } wide = eNarrow;
    UInt128 wideNumber = 0;
    // The arguments of a `bitlens` launch that opens a window with the
    // query in its Value row.
    QStringList launchArguments;
};

// The one place that decides whether a query is a number and which: the
// number `bitlens --print QUERY` prints (no --from: the prefix decides),
// when QUERY is a whole literal and fits in 64 bits, or the IPv4 address
// a dotted quad of four numbers up to 255 spells, or a whole IPv6 address
// or UUID (with its hyphens, in braces or after urn:uuid:). Nothing for a word, a
// sentence, a path, or a text the field would read only in part.
std::optional<QueryReading> ReadQuery(const QString& query);

struct SearchAnswer {
    // Names the answer to the desktop, and carries the query, so that the
    // answer can be made again from the id alone.
    QString id;
    // Copied to the clipboard when the answer is chosen.
    QString text;
    // Shown: the text, or the start of a long binary one.
    QString title;
    // What the text is: "decimal · unsigned 32 bits", or with the width in
    // words where the query's terms would be found in its digits ("0x10 <<
    // 3"), which a desktop marks wherever they stand.
    QString subtitle;
};

constexpr int kMaxSearchAnswers = 3;

// The answers for `query`, the most useful first; none when it reads as no
// number, or as a lone decimal below 256. Safe to call from any thread.
std::vector<SearchAnswer> SearchAnswers(const QString& query);

// The answer `id` names, made again from the query it carries.
std::optional<SearchAnswer> SearchAnswerFor(const QString& id);

// The query an answer's id carries.
QString QueryOfAnswer(const QString& id);

// The arguments of a `bitlens` launch that shows `query` in a window: its
// number in the Value row, or an empty new window for a query that reads as
// no number.
QStringList LaunchArgumentsFor(const QString& query);

#endif
