// Changes to Debian's stock script-engine configuration, spliced in where its
// duk_config.h takes overrides. Each buys the page host one thing.

// The engine is compiled as C++ and raises script errors as C++ exceptions,
// so host frames between the engine's calls unwind with their destructors
// run (no longjmp through C++ scopes).
#define DUK_USE_CPP_EXCEPTIONS

// Count executed instructions and stop every so often (about every 256K)
// to ask the host whether the page has run out of time; once it has, every
// further stop raises a RangeError until the page has unwound completely.
#define DUK_USE_INTERRUPT_COUNTER
#define DUK_USE_EXEC_TIMEOUT_CHECK(udata) vantrel_engine_out_of_time(udata)
int vantrel_engine_out_of_time(void* udata);

// Errors are made and thrown without calling script hooks: page code never
// runs while the host creates an error.
#undef DUK_USE_ERRCREATE
#undef DUK_USE_ERRTHROW
