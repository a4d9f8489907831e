// How many pipelined commands may be out, and when to top them up.
#include <doctest/doctest.h>

#include "engine/pipeline_window.h"

using kivo::PipelineWindow;

namespace {

// Fills the window from nothing with answers of `answer` bytes each; the
// number of commands it lets out.
std::size_t fill(const PipelineWindow& w, std::size_t answer)
{
    std::size_t out = 0;
    while (w.has_room(out, out * answer))
        ++out;
    return out;
}

}  // namespace

TEST_CASE("pipeline window: large answers keep 64 commands out, small ones more, never past the maximum")
{
    PipelineWindow w;
    CHECK(fill(w, 10000) == 64);  // 64 answers already bring far more than the bytes
    CHECK(fill(w, 1024) == 256);  // 256 KB of 1 KB answers
    CHECK(fill(w, 100) == PipelineWindow::kMaxCommands);
    CHECK(fill(w, 0) == PipelineWindow::kMaxCommands);  // sizes not listed

    SUBCASE("an exact window is exactly that")
    {
        CHECK(fill(PipelineWindow(1, 0), 10) == 1);
        CHECK(fill(PipelineWindow(3, 0), 0) == 3);
        CHECK(fill(PipelineWindow(100000, 0), 0) == PipelineWindow::kMaxCommands);
        CHECK(PipelineWindow(0, 0).commands() == 1);
    }
}

TEST_CASE("pipeline window: topped up when half is answered, in batches of half a window")
{
    PipelineWindow w;
    // Nothing out: the first batch goes at once.
    CHECK(w.wants_top_up(0, 0, 0));
    // Large answers: at 32 still to come, as a window of 64 commands.
    CHECK_FALSE(w.wants_top_up(33, 33 * 10000, 33));
    CHECK(w.wants_top_up(32, 32 * 10000, 32));
    // 1 KB answers (256 out): once half their bytes are in.
    CHECK_FALSE(w.wants_top_up(129, 129 * 1024, 129));
    CHECK(w.wants_top_up(128, 128 * 1024, 128));
    // Tiny answers fill the maximum: no send of one command per answer, only
    // once 32 fit again.
    std::size_t max = PipelineWindow::kMaxCommands;
    CHECK_FALSE(w.wants_top_up(max - 1, (max - 1) * 100, max - 1));
    CHECK_FALSE(w.wants_top_up(max - 31, (max - 31) * 100, max - 31));
    CHECK(w.wants_top_up(max - 32, (max - 32) * 100, max - 32));

    SUBCASE("a window of one command waits for its answer")
    {
        PipelineWindow one(1, 0);
        CHECK_FALSE(one.wants_top_up(1, 0, 1));
        CHECK(one.wants_top_up(0, 0, 0));
    }
}
