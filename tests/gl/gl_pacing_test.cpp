// Frame pacing of flip on the virtual clock: the 16/17 ms pattern, late frames, and the
// retrace check that open_graphics makes.
#include <gtest/gtest.h>

#include <numeric>

#include "media/backend/gl/gl_api.h"
#include "media/backend/gl/gl_renderer.h"
#include "media/backend/sdl/window.h"
#include "support/gl_screen.h"

namespace {

// A clock that moves by the next of `steps` (then the last one) each time it is read,
// as presents with the retrace would take.
class timed_presents : public test_support::test_platform {
  public:
    std::vector<int> steps;
    std::size_t next = 0;
    int sleeps = 0;
    bool may_probe_retrace() override { return true; }
    int millisecs() override {
        clock_ms += steps[std::min(next, steps.size() - 1)];
        ++next;
        return clock_ms;
    }
    void sleep_ms(int ms) override {
        ++sleeps;
        test_platform::sleep_ms(ms);
    }
};

// Reads what the window itself holds, unflushed draws aside, whenever a frame waits.
class peeking_platform : public test_support::test_platform {
  public:
    std::vector<std::array<int, 3>> seen;
    void wait_for_frame(int ms) override {
        std::uint8_t px[4] = {};
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
        seen.push_back({px[0], px[1], px[2]});
        test_platform::wait_for_frame(ms);
    }
};

std::vector<int> frame_times(test_support::test_platform& pf, int frames) {
    std::vector<int> out;
    for (int i = 0; i < frames; ++i) {
        const int before = pf.clock_ms;
        media::flip(-1);
        out.push_back(pf.clock_ms - before);
    }
    return out;
}

class pacing_test : public ::testing::Test {
  protected:
    test_support::test_platform* pf = nullptr;
    void SetUp() override {
        test_support::open_test_screen();
        pf = &test_support::install_test_platform();
        pf->clock_ms = 12345;
        media::open_graphics(640, 480, 32, 60, 2);
    }
};

}  // namespace

TEST_F(pacing_test, sixty_frames_take_one_second_in_16_and_17_ms_steps) {
    const std::vector<int> t = frame_times(*pf, 60);
    EXPECT_EQ(std::accumulate(t.begin(), t.end(), 0), 1000);
    EXPECT_EQ(std::count(t.begin(), t.end(), 17), 40);
    EXPECT_EQ(std::count(t.begin(), t.end(), 16), 20);
    EXPECT_EQ(pf->presented, 60) << "the platform hears of every frame";
    EXPECT_EQ(media::frames_presented(), 60);
    const std::vector<int> more = frame_times(*pf, 600);
    EXPECT_EQ(std::accumulate(more.begin(), more.end(), 0), 10000) << "no drift";
}

TEST_F(pacing_test, a_late_frame_starts_a_fresh_period) {
    frame_times(*pf, 5);
    pf->clock_ms += 50;  // a slow frame
    EXPECT_EQ(frame_times(*pf, 1)[0], 0) << "late: presented at once";
    const int t = frame_times(*pf, 1)[0];
    EXPECT_TRUE(t == 16 || t == 17) << "expected a full period after the late frame, got " << t;

    pf->clock_ms += 10;  // a frame that used 10 of its 16 or 17 ms
    const int start = pf->clock_ms - 10;
    frame_times(*pf, 1);
    const int period = pf->clock_ms - start;
    EXPECT_TRUE(period == 16 || period == 17) << "got " << period;

    const int before = pf->clock_ms;
    media::flip(0);
    EXPECT_EQ(pf->clock_ms, before) << "sync 0 presents at once";
}

TEST(retrace_check, settles_on_three_presents_of_one_period_within_a_second) {
    test_support::open_test_screen();
    if (!media::backend::window_set_vsync(true)) GTEST_SKIP() << "driver refuses a swap interval";
    media::backend::window_set_vsync(false);

    const auto run = [](std::vector<int> steps) {
        auto p = std::make_unique<timed_presents>();
        timed_presents& pf = *p;
        pf.steps = std::move(steps);
        media::install_platform(std::move(p));
        media::open_graphics(640, 480, 32, 60, 2);
        const int sleeps = pf.sleeps;
        media::flip(-1);
        media::flip(-1);
        return pf.sleeps - sleeps;  // sleeps mean clock pacing
    };
    EXPECT_EQ(run({16, 15, 17, 16}), 0) << "retrace at 60 Hz: flip waits for it";
    EXPECT_GT(run({16, 16, 30, 16, 16, 30, 16, 16, 30, 5}), 0) << "never three in a row";
    std::vector<int> slow_start(26, 40);  // 1040 ms before any good present
    slow_start.push_back(16);
    EXPECT_GT(run(slow_start), 0) << "the second ran out first";
    EXPECT_GT(run({5}), 0) << "presents that do not wait";

    // Leave a plain test platform and display for the tests that follow.
    test_support::install_test_platform();
    media::open_graphics(640, 480, 32, 60, 2);
}

// A page shows its canvas whenever the game waits: drawn straight into the window, each
// frame is whole there by its wait, not yet sent, nor the next one begun.
TEST(window_pacing_test, a_frame_drawn_into_the_window_is_whole_while_it_waits) {
    using media::backend::frame_target;
    test_support::open_test_screen();
    auto owned = std::make_unique<peeking_platform>();
    peeking_platform& pf = *owned;
    media::install_platform(std::move(owned));
    std::string error;
    ASSERT_TRUE(media::backend::renderer_open(640, 480, frame_target::window, error)) << error;
    for (int frame = 0; frame < 3; ++frame) {
        media::clear_screen();
        media::set_blend(media::blend_solid);
        media::set_color(40 + frame, 160, 90);
        media::draw_rect(0, 0, 640, 480);
        media::flip(-1);
    }
    EXPECT_TRUE(media::backend::renderer_open(640, 480, frame_target::back_buffer, error));
    ASSERT_EQ(pf.seen.size(), 3u);
    for (int frame = 0; frame < 3; ++frame)
        EXPECT_EQ(pf.seen[std::size_t(frame)], (std::array<int, 3>{40 + frame, 160, 90}))
            << "frame " << frame;
}
