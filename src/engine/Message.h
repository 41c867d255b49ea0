// The engine's messages about a typed text, for a row's message line: fixed
// English templates with at most one token, written "%1" where it goes. The
// window translates the same templates and fills in the same token, so a
// template never changes with its token.
//
// Tokens are UTF-8. The engine's own bytes are Latin-1 with characters
// beyond it already turned into '?', so a caller that still has the typed
// text takes the token from there (each byte of the engine's text is one
// character typed) and fills the template itself.
#ifndef BITLENS_MESSAGE_H
#define BITLENS_MESSAGE_H

#include <cstddef>

// Marks a message's words for the translators, who translate them for the
// window in `context`; the engine and the model keep them in English and
// include nothing of the toolkit, so the mark is the program's own.
#define BITLENS_TRANSLATABLE(context, text) text

// Room for any message: the longest template and a token as long as a whole
// field, each of its bytes written as up to three UTF-8 bytes.
constexpr int kMessageSize = 512;

// One row of a table of templates: the status or note kind it is for, and
// for the kinds whose words name a radix or notation, which one (0: any).
struct MessageTemplate {
    int kind;
    int variant;
    const char* text;
};

// The template of `kind` in a table, the row of `variant` where the kind has
// one per variant, else its row for any (variant 0); null when none.
template <std::size_t Rows>
const char* FindMessageTemplate(const MessageTemplate (&table)[Rows], int kind, int variant)
{
    for (const MessageTemplate& row : table)
        if (row.kind == kind && (row.variant == 0 || row.variant == variant))
            return row.text;
    return nullptr;
}

// Writes `messageTemplate` with `token` in place of "%1" into `out`, which
// holds `size` bytes (at least 1), always terminated; a longer message is cut
// before a character that does not fit whole. Returns the length written.
int FillMessage(const char* messageTemplate, const char* token, char* out, int size);

#endif
