// Prints how long registry files of 10 000, 100 000 and 1 000 000 values take to parse, to write,
// and to go through the store (a read, and a change of one value), with all values in one key and
// spread over many keys of four values each, like mail server entries. Run:
//   build/tests/bench/registry_benchmark
#include "config/RegFile.h"
#include "config/RegistryStore.h"
#include "support/TempDir.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {

using namespace vorlane;
using Clock = std::chrono::steady_clock;

constexpr const char* kKey = "SOFTWARE\\Mirvo\\Bench";

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double PeakMemoryMegabytes()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// Texts, numbers and binary data in turn, as a settings key holds them.
RegistryValue SampleValue(int i)
{
    switch (i % 3) {
    case 0:
        return StringValue("C:\\Mail\\box " + std::to_string(i) + ".mbx");
    case 1:
        return IntegerValue(i);
    default:
        return DateTimeValue(45000.5 + i);
    }
}

RegistryKey OneKey(int values)
{
    RegistryKey root("HKEY_CURRENT_USER");
    auto& key = root.CreateKey(kKey);
    for (int i = 0; i < values; ++i)
        key.SetValue("Value" + std::to_string(i), SampleValue(i));
    return root;
}

RegistryKey ManyKeys(int values)
{
    RegistryKey root("HKEY_CURRENT_USER");
    auto& key = root.CreateKey(kKey);
    for (int i = 0; i < values / 4; ++i) {
        auto& entry = key.CreateKey("Entry " + std::to_string(i));
        entry.SetValue("Username", StringValue("user" + std::to_string(i)));
        entry.SetValue("Server", StringValue("pop" + std::to_string(i) + ".example.org"));
        entry.SetValue("Interval", IntegerValue(i % 60 + 1));
        entry.SetValue("Password", StringValue("\x39\x3B\x3D\x81"));
    }
    return root;
}

struct Figures
{
    double megabytes;
    double parse;
};

Figures Measure(const char* shape, int values, const RegistryKey& root)
{
    auto start = Clock::now();
    const auto text = SerializeRegFile(root);
    const double serialize = SecondsSince(start);

    start = Clock::now();
    const auto parsed = ParseRegFile(text, "bench.reg");
    const double parse = SecondsSince(start);
    if (!(parsed == root)) {
        std::fprintf(stderr, "the parsed file differs from what was written\n");
        std::exit(1);
    }

    const vorlane::test::TempDir dir("bench");
    vorlane::test::WriteFile(dir / "registry.reg", text);
    RegistryStore store(dir / "registry.reg");
    start = Clock::now();
    const auto read = store.Read();
    const double readTime = SecondsSince(start);
    start = Clock::now();
    store.Modify([](RegistryKey& r) { r.CreateKey(kKey).SetValue("Changed", IntegerValue(1)); });
    const double modify = SecondsSince(start);

    const double megabytes = static_cast<double>(text.size()) / 1e6;
    std::printf("%-10s %9d %9.1f %9.3f %9.3f %9.3f %9.3f %10.0f\n", shape, values, megabytes, parse,
                serialize, readTime, modify, PeakMemoryMegabytes());
    std::fflush(stdout);
    return {megabytes, parse};
}

} // namespace

int main()
{
    std::printf("%-10s %9s %9s %9s %9s %9s %9s %10s\n", "shape", "values", "MB", "parse s",
                "write s", "Read s", "Modify s", "peak MB");
    double slowest = 0; // seconds per megabyte of parsing
    for (const int values : {10000, 100000, 1000000}) {
        for (const bool oneKey : {true, false}) {
            const auto root = oneKey ? OneKey(values) : ManyKeys(values);
            const auto figures = Measure(oneKey ? "one key" : "many keys", values, root);
            slowest = std::max(slowest, figures.parse / figures.megabytes);
        }
    }
    std::printf("at the slowest rate above, a 10 MB file parses in %.2f s\n", 10 * slowest);
    return 0;
}
