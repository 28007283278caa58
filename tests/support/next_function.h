/* For the test-only preloaded libraries: the next definition of a symbol, the one the library
 * stands in front of, to be cast to its own function type. ISO C converts no object pointer to a
 * function pointer, so the address is copied. */
#ifndef POKER_TESTS_NEXT_FUNCTION_H
#define POKER_TESTS_NEXT_FUNCTION_H

#include <dlfcn.h>
#include <string.h>

typedef void (*Function)(void);

static Function next_function(const char* name) {
    void* symbol = dlsym(RTLD_NEXT, name);
    Function function;
    memcpy(&function, &symbol, sizeof symbol);
    return function;
}

#endif
