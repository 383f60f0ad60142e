#pragma once

#include <cstdio>
#include <cstdlib>

namespace vorlane::fuzz {

// Stops the run when a property does not hold, so that libFuzzer keeps the input that broke it.
inline void Require(bool holds, const char* property)
{
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

} // namespace vorlane::fuzz
