// Programmer errors: a broken invariant, or an index a caller got wrong. Bad data from
// outside (files, packets, settings) never reaches these; it gets a message and a safe
// default instead. Checked in every build: each costs a compare, and a game that goes on
// past a broken invariant only fails later and further away.
#pragma once

// Prints the condition, what the caller got wrong and where, then aborts.
[[noreturn]] void assertion_failed(const char* condition, const char* what, const char* file,
                                   int line);

#define TORVI_ASSERT(condition, what) \
    ((condition) ? static_cast<void>(0) : assertion_failed(#condition, what, __FILE__, __LINE__))
