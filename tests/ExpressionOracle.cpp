// Random expressions, checked against the C++ compiler's reading of the
// same text. Writes a C++ program that evaluates each expression as the
// compiler parses it, with every number of a wrapper type whose operators
// are the built-in ones on int64_t or uint64_t (so C's precedence and
// associativity and, with -fwrapv, its wrapping arithmetic decide), and
// compares each result with the evaluator's, written in beside it. The
// program fails on the first difference; expression-oracle.sh compiles and
// runs it.
//   expression_oracle <seed> <expressions per field and sign> <out.cpp>
#include "engine/Expression.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// Only the generator's own arithmetic on the engine's output: mt19937_64 is
// the same everywhere, which a standard distribution is not.
class Random {
public:
    explicit Random(UInt64 seed)
        : fEngine(seed)
    { }
    UInt64 Bits() { return fEngine(); }
    unsigned Below(unsigned n) { return unsigned(fEngine() % n); }
    bool OneIn(unsigned n) { return Below(n) == 0; }

private:
    std::mt19937_64 fEngine;
};

struct Prefix {
    const char* text;
    int radix;
};

struct Node {
    enum Kind { eLiteral, eUnary, eBinary } kind;
    std::string op;
    UInt64 value = 0;
    Prefix prefix { "", 10 }; // a literal's
    std::unique_ptr<Node> left;
    std::unique_ptr<Node> right;
};

struct BinaryOperator {
    const char* text;
    int precedence;
};

constexpr BinaryOperator kBinary[] = { { "*", 6 }, { "/", 6 }, { "%", 6 }, { "+", 5 }, { "-", 5 },
    { "<<", 4 }, { ">>", 4 }, { "&", 3 }, { "^", 2 }, { "|", 1 } };
constexpr int kUnaryPrecedence = 7;

int PrecedenceOf(const Node& node)
{
    if (node.kind == Node::eLiteral)
        return 8;
    if (node.kind == Node::eUnary)
        return kUnaryPrecedence;
    for (const BinaryOperator& op : kBinary) {
        if (node.op == op.text)
            return op.precedence;
    }
    return 0;
}

class Generator {
public:
    Generator(Random& random, int radix, bool isSigned)
        : fRandom(random)
        , fRadix(radix)
        , fSigned(isSigned)
    { }

    std::unique_ptr<Node> Make(int depth, const char* parent = "")
    {
        auto node = std::make_unique<Node>();
        if (depth == 0 || fRandom.OneIn(4)) {
            node->kind = Node::eLiteral;
            node->value = Literal(parent);
            node->prefix = ChoosePrefix();
            // A decimal literal above INT64_MAX wraps in the signed reading,
            // where C's would not compile: keep them within.
            if (fSigned && node->prefix.radix == 10)
                node->value &= 0x7fffffffffffffff;
            return node;
        }
        if (fRandom.OneIn(5)) {
            node->kind = Node::eUnary;
            node->op = "-+~"[fRandom.Below(3)];
            node->left = Make(depth - 1);
            return node;
        }
        node->kind = Node::eBinary;
        node->op = kBinary[fRandom.Below(std::size(kBinary))].text;
        node->left = Make(depth - 1);
        node->right = Make(depth - 1, node->op.c_str());
        return node;
    }

    // The same tokens twice: as typed into the field, with the field's
    // digits, prefixes, separators and random blanks, and as C++, with each
    // number wrapped. Parentheses where C needs them, and now and then more.
    void Render(const Node& node, std::string& typed, std::string& source)
    {
        switch (node.kind) {
        case Node::eLiteral:
            typed += Blanks() + TypedLiteral(node.value, node.prefix) + Blanks();
            source += " L<T>(" + std::to_string(node.value) + "ull) ";
            return;
        case Node::eUnary:
            typed += Blanks() + node.op;
            source += " " + node.op + " ";
            Operand(*node.left, node.left->kind == Node::eBinary, typed, source);
            return;
        case Node::eBinary: {
            const int precedence = PrecedenceOf(node);
            Operand(*node.left, PrecedenceOf(*node.left) < precedence, typed, source);
            typed += Blanks() + node.op;
            source += " " + node.op + " ";
            Operand(*node.right, PrecedenceOf(*node.right) <= precedence, typed, source);
            return;
        }
        }
    }

private:
    void Operand(const Node& node, bool needed, std::string& typed, std::string& source)
    {
        if (!needed && !fRandom.OneIn(10)) {
            Render(node, typed, source);
            return;
        }
        typed += Blanks() + "(";
        source += " ( ";
        Render(node, typed, source);
        typed += Blanks() + ")";
        source += " ) ";
    }

    std::string Blanks() { return fRandom.OneIn(3) ? " " : ""; }

    UInt64 Literal(const std::string& parent)
    {
        // Shift counts mostly within the width, divisors now and then 0 or -1.
        if ((parent == "<<" || parent == ">>") && !fRandom.OneIn(8))
            return fRandom.Below(70);
        if ((parent == "/" || parent == "%") && fRandom.OneIn(6))
            return fRandom.OneIn(2) ? 0 : ~UInt64(0);
        UInt64 value;
        switch (fRandom.Below(5)) {
        case 0: value = fRandom.Below(20); break;
        case 1: value = fRandom.Bits() & 0xffff; break;
        case 2: value = fRandom.Bits() >> fRandom.Below(64); break;
        case 3: {
            const UInt64 edges[] = { 0, 1, 2, 63, 64, 0x7fffffffffffffff, UInt64(1) << 63,
                ~UInt64(0), 0xffffffff, 0x80000000 };
            value = edges[fRandom.Below(std::size(edges))];
            break;
        }
        default: value = fRandom.Bits(); break;
        }
        return value;
    }

    // The field's radix, or one whose prefix letter is no digit of the field.
    Prefix ChoosePrefix()
    {
        const Prefix prefixes[]
            = { { "", fRadix }, { "0x", 16 }, { "0b", 2 }, { "0o", 8 }, { "0d", 10 } };
        std::vector<Prefix> usable { prefixes[0] };
        for (int i = 1; i < 5; ++i) {
            const int letter = prefixes[i].text[1] - 'a' + 10;
            if (letter >= fRadix)
                usable.push_back(prefixes[i]);
        }
        return usable[fRandom.Below(unsigned(usable.size()))];
    }

    std::string TypedLiteral(UInt64 value, const Prefix& prefix)
    {
        std::string digits;
        for (UInt64 rest = value; rest != 0 || digits.empty(); rest /= UInt64(prefix.radix))
            digits.insert(
                digits.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[rest % prefix.radix]);
        std::string text = prefix.text;
        for (std::size_t i = 0; i < digits.size(); ++i) {
            char digit = digits[i];
            if (fRandom.OneIn(4))
                digit = char(std::toupper(static_cast<unsigned char>(digit)));
            if (i != 0 && fRandom.OneIn(8))
                text += fRandom.OneIn(2) ? "_" : "'";
            else if (i != 0 && fRadix != 10 && (digits.size() - i) % 4 == 0 && fRandom.OneIn(3))
                text += ' '; // the grouped fields join digits across blanks
            text += digit;
        }
        return text;
    }

    Random& fRandom;
    int fRadix;
    bool fSigned;
};

std::string Quoted(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

const char* const kPrologue
    = R"cpp(// Written by expression_oracle: the compiler's reading of each expression.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

bool gDividedByZero;
bool gWrapped;
int gFailures;

// C's operators on T, with the evaluator's answer where C has none: a
// division by zero is noted and gives 0, MIN / -1 gives MIN, and shift
// counts of 64 or more shift everything out.
template <class T> struct W {
    T v;
};

template <class T> constexpr bool kSigned = T(-1) < T(0);

template <class T> W<T> operator+(W<T> a, W<T> b)
{
    T r;
    gWrapped |= __builtin_add_overflow(a.v, b.v, &r);
    return { T(a.v + b.v) };
}
template <class T> W<T> operator-(W<T> a, W<T> b)
{
    T r;
    gWrapped |= __builtin_sub_overflow(a.v, b.v, &r);
    return { T(a.v - b.v) };
}
template <class T> W<T> operator*(W<T> a, W<T> b)
{
    T r;
    gWrapped |= __builtin_mul_overflow(a.v, b.v, &r);
    return { T(a.v * b.v) };
}
template <class T> W<T> operator/(W<T> a, W<T> b)
{
    if (b.v == 0) {
        gDividedByZero = true;
        return { 0 };
    }
    if (kSigned<T> && a.v == T(T(1) << 63) && b.v == T(-1)) {
        gWrapped = true;
        return a;
    }
    return { T(a.v / b.v) };
}
template <class T> W<T> operator%(W<T> a, W<T> b)
{
    if (b.v == 0) {
        gDividedByZero = true;
        return { 0 };
    }
    if (kSigned<T> && b.v == T(-1))
        return { 0 };
    return { T(a.v % b.v) };
}
template <class T> W<T> operator<<(W<T> a, W<T> b)
{
    const auto n = std::uint64_t(b.v);
    if (n >= 64) {
        gWrapped |= a.v != 0;
        return { 0 };
    }
    if (kSigned<T>) {
        const __int128 exact = __int128(a.v) * (__int128(1) << n);
        gWrapped |= exact < INT64_MIN || exact > INT64_MAX;
    }
    return { T(a.v << n) };
}
template <class T> W<T> operator>>(W<T> a, W<T> b)
{
    const auto n = std::uint64_t(b.v);
    if (n >= 64)
        return { T(kSigned<T> && a.v < 0 ? -1 : 0) };
    return { T(a.v >> n) };
}
template <class T> W<T> operator&(W<T> a, W<T> b) { return { T(a.v & b.v) }; }
template <class T> W<T> operator|(W<T> a, W<T> b) { return { T(a.v | b.v) }; }
template <class T> W<T> operator^(W<T> a, W<T> b) { return { T(a.v ^ b.v) }; }
template <class T> W<T> operator-(W<T> a)
{
    gWrapped |= kSigned<T> && a.v == T(T(1) << 63);
    return { T(-a.v) };
}
template <class T> W<T> operator+(W<T> a) { return a; }
template <class T> W<T> L(unsigned long long value) { return { T(value) }; }
template <class T> W<T> operator~(W<T> a) { return { T(~a.v) }; }

// The evaluator's answer: the bits, or a division by zero; in the signed
// reading also whether a step overflowed and whether it is below zero.
template <class T, class Expression>
void Check(const char* field, const char* text, Expression expression, std::uint64_t value,
    bool dividedByZero, bool wrapped, bool negative)
{
    gDividedByZero = gWrapped = false;
    const T got = expression().v;
    bool same = gDividedByZero == dividedByZero;
    if (!dividedByZero) {
        same = same && std::uint64_t(got) == value;
        if (kSigned<T>)
            same = same && gWrapped == wrapped && (got < 0) == negative;
    }
    if (!same) {
        std::printf("%s field, \"%s\": the evaluator gives %llx%s%s%s, C gives %llx%s%s\n", field,
            text, (unsigned long long)value, dividedByZero ? " (division by zero)" : "",
            wrapped ? " (wrapped)" : "", negative ? " (negative)" : "",
            (unsigned long long)got, gDividedByZero ? " (division by zero)" : "",
            gWrapped ? " (overflow)" : "");
++gFailures;
}
}

} // namespace

int main()
{
)cpp";

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: expression_oracle <seed> <count> <out.cpp>\n";
        return 2;
    }
    Random random(std::stoull(argv[1]));
    const int count = std::stoi(argv[2]);
    std::ofstream out(argv[3]);
    out << kPrologue;
    int checks = 0;
    const Notation fields[] = { eNotationBinary, eNotationOctal, eNotationDecimal,
        eNotationHexadecimal, eNotationQuixadecimal };
    for (Notation field : fields) {
        for (bool rowIsSigned : { false, true }) {
            const int radix = ExpressionRadix(field);
            const bool isSigned = rowIsSigned || field == eNotationDecimal;
            const char* type = isSigned ? "std::int64_t" : "std::uint64_t";
            out << "    {\n        using T = " << type << ";\n";
            Generator generator(random, radix, isSigned);
            for (int i = 0; i < count; ++i) {
                const std::unique_ptr<Node> tree = generator.Make(1 + int(random.Below(5)));
                std::string typed;
                std::string source;
                generator.Render(*tree, typed, source);
                // Every text has an operator, so all of them are expressions,
                // except a literal alone in the field's own radix.
                const ExpressionResult result
                    = EvaluateExpression(typed.c_str(), field, rowIsSigned);
                if (result.status != eExpressionEvaluated
                    && result.status != eExpressionDivisionByZero) {
                    std::cerr << "expression_oracle: \"" << typed << "\" in the field of radix "
                              << radix << " did not evaluate (status " << result.status << ")\n";
                    return 1;
                }
                out << "        Check<T>(\"radix " << radix << (rowIsSigned ? ", signed row" : "")
                    << "\", " << Quoted(typed) << ", [] { return " << source << "; }, "
                    << result.value << "ull, " << (result.status == eExpressionDivisionByZero)
                    << ", " << result.wrapped << ", " << result.negative << ");\n";
                ++checks;
            }
            out << "    }\n";
        }
    }
    out << "    std::printf(\"%d of " << checks
        << " expressions differ from C\\n\", gFailures);\n    return gFailures != 0;\n}\n";
    return out ? 0 : 1;
}
