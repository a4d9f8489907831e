// The main of the engine's test executables: besides the tests' own checks,
// the run fails when any thread had to be killed. Stopped threads must end
// by themselves; killing is a last resort that normal paths never reach.
#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest/doctest.h>

#include <cstdio>

#include "platform/sync.h"

int main(int argc, char** argv)
{
    doctest::Context context(argc, argv);
    int result = context.run();
    if (context.shouldExit())
        return result;
    std::uint64_t kills = kivo::platform::Thread::kill_count();
    std::printf("[kivo] threads killed: %llu\n", static_cast<unsigned long long>(kills));
    return kills == 0 ? result : 1;
}
