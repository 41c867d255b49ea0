// JSON5: JSON as JavaScript writes an object literal, the way diagrams are
// written by hand: unquoted keys, texts in single or double quotes, trailing
// commas, // and /* */ comments, hexadecimal numbers, a leading + or dot,
// Infinity and NaN. A reader of data only: nothing is ever evaluated, and
// anything that is not a literal (a name, a call, an expression) is an error
// that says what was found where a value should be.
//
// The document keeps the bytes and one small record per value, and decodes
// a text when it is asked for, so that it holds a small multiple of the
// bytes whatever they are. Nesting is bounded (kMaxJson5Depth).
#ifndef BITLENS_JSON5_H
#define BITLENS_JSON5_H

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

constexpr int kMaxJson5Depth = 64;

struct Json5Error {
    int line = 0; // from 1
    QString message;
};

class Json5Document;

// A value of a document, or a missing one (a member that is not there, the
// end of a list); it lives as long as its document.
class Json5Value {
public:
    enum Kind { eMissing, eNull, eBoolean, eNumber, eText, eList, eObject };

    Kind kind() const;
    bool isMissing() const { return kind() == eMissing; }
    int line() const;
    // A text's characters, escapes read; a number, true, false or null as
    // written ("0x33", "1.5e3").
    QString text() const;
    // A number's value (hexadecimal included, Infinity and NaN as doubles);
    // nothing for any other kind.
    std::optional<double> number() const;

    // The elements of a list or the members of an object, in order: the
    // first, and the one after each; missing past the last.
    Json5Value first() const;
    Json5Value next() const;
    // A member's key, escapes read.
    QString key() const;
    // The member of an object named `key`, the last of several as in
    // JavaScript; missing when there is none or this is no object.
    Json5Value member(const QString& key) const;

private:
    friend class Json5Document;
    Json5Value(const Json5Document* document, int index)
        : fDocument(document)
        , fIndex(index)
    { }
    const Json5Document* fDocument = nullptr;
    int fIndex = -1;
};

class Json5Document {
public:
    // The whole of `bytes` as one value, after an optional byte-order mark;
    // on an error, error() says where and what, and root() is missing.
    static Json5Document read(const QByteArray& bytes);

    const std::optional<Json5Error>& error() const { return fError; }
    Json5Value root() const { return { this, fNodes.empty() || fError ? -1 : 0 }; }

private:
    friend class Json5Value;
    friend class Json5Reader;
    struct Node {
        Json5Value::Kind kind;
        int line;
        int begin, end; // the value's token, or an object's or list's opening
        int keyBegin = -1, keyEnd = -1; // a member's key, quotes included
        int first = -1, next = -1;
    };
    QByteArray fBytes;
    std::vector<Node> fNodes;
    std::optional<Json5Error> fError;
};

#endif
