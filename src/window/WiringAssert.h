// Checks of the wiring between the window description and the code: they
// stay in release builds, since a miswired window must stop rather than
// guess. No user input reaches them.
#ifndef BITLENS_WIRINGASSERT_H
#define BITLENS_WIRINGASSERT_H

// Writes "file:line: failed assertion `condition'" to standard error and
// aborts.
[[noreturn]] void FailedAssertion(const char* file, unsigned line, const char* condition);

#define WIRING_ASSERT(condition)                                                                   \
    ((condition) ? void(0) : FailedAssertion(__FILE__, __LINE__, #condition))

#endif
