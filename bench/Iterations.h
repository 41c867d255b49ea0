// The benchmarks' own option, shared by every bench program.
#ifndef BITLENS_BENCH_ITERATIONS_H
#define BITLENS_BENCH_ITERATIONS_H

#include <cstdint>
#include <cstdlib>
#include <cstring>

// --iterations=N, when first, runs every benchmark exactly N times, so that
// an instruction count under callgrind does not depend on timing. Takes the
// option out of the arguments before Google Benchmark sees them; 0 when absent.
inline std::int64_t TakeIterationsOption(int& argc, char**& argv)
{
    if (argc < 2 || std::strncmp(argv[1], "--iterations=", 13) != 0)
        return 0;
    const std::int64_t iterations = std::atoll(argv[1] + 13);
    argv[1] = argv[0];
    --argc;
    ++argv;
    return iterations;
}

#endif
