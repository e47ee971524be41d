// Input counters and the application state, fed by a scripted platform.
#include <gtest/gtest.h>

#include "media/display.h"
#include "media/input.h"
#include "support/test_platform.h"

namespace {

using ev = media::platform_event;

// Also records what the layer asks of the platform beyond events.
struct recording_platform : test_support::test_platform {
    int waits = 0, last_wait_ms = 0;
    int warps = 0, warp_x = -1, warp_y = -1;
    void wait_event(int ms) override {
        ++waits;
        last_wait_ms = ms;
    }
    void warp_mouse(int x, int y) override {
        ++warps;
        warp_x = x;
        warp_y = y;
    }
};

class unit_input : public testing::Test {
  protected:
    void SetUp() override {
        auto p = std::make_unique<recording_platform>();
        plat = p.get();
        media::install_platform(std::move(p));
        media::reset_input();
    }
    void TearDown() override { media::install_platform(nullptr); }
    recording_platform* plat = nullptr;
};

TEST_F(unit_input, key_hit_counts_presses_not_repeats) {
    plat->push(ev::key_down, 38);
    plat->push(ev::key_up, 38);
    plat->push(ev::key_down, 38);
    plat->push(ev::key_up, 38);
    EXPECT_EQ(2, media::key_hit(38)) << "two presses between reads";
    EXPECT_EQ(0, media::key_hit(38)) << "the count resets on reading";

    plat->push(ev::key_down, 40);
    plat->push(ev::key_down, 40);  // auto-repeat
    plat->push(ev::key_down, 40);
    EXPECT_EQ(1, media::key_down(40));
    EXPECT_EQ(1, media::key_hit(40)) << "a key held through auto-repeat is one press";
    plat->push(ev::key_up, 40);
    EXPECT_EQ(0, media::key_down(40));
    EXPECT_EQ(0, media::key_hit(40));

    // Keys are independent, and codes outside 0..255 read 0 without harm.
    plat->push(ev::key_down, 27);
    plat->push(ev::key_down, 300);
    EXPECT_EQ(0, media::key_hit(32));
    EXPECT_EQ(1, media::key_hit(27));
    EXPECT_EQ(0, media::key_hit(-1));
    EXPECT_EQ(0, media::key_hit(256));
    EXPECT_EQ(0, media::key_down(300));
}

TEST_F(unit_input, mouse_buttons_count_like_keys_and_button_0_is_always_0) {
    plat->push(ev::mouse_move, 0, 123.0f, 45.0f);
    plat->push(ev::mouse_down, 1);
    plat->push(ev::mouse_up, 1);
    plat->push(ev::mouse_down, 1);
    plat->push(ev::mouse_down, 2);
    plat->push(ev::mouse_down, 0);
    EXPECT_EQ(123, media::mouse_x());
    EXPECT_EQ(45, media::mouse_y());
    EXPECT_EQ(2, media::mouse_hit(1));
    EXPECT_EQ(0, media::mouse_hit(1));
    EXPECT_EQ(1, media::mouse_down(1));
    EXPECT_EQ(1, media::mouse_down(2));
    EXPECT_EQ(0, media::mouse_down(3));
    EXPECT_EQ(0, media::mouse_hit(0)) << "button 0 must never count";
    EXPECT_EQ(0, media::mouse_down(0)) << "button 0 must never be held";
    EXPECT_EQ(0, media::mouse_hit(4));
}

TEST_F(unit_input, flushes_clear_counts_and_held_flags) {
    plat->push(ev::key_down, 32);
    plat->push(ev::mouse_down, 1);
    plat->push(ev::mouse_move, 0, 10.0f, 20.0f);
    media::flush_keys();
    EXPECT_EQ(0, media::key_hit(32));
    EXPECT_EQ(0, media::key_down(32));
    EXPECT_EQ(1, media::mouse_down(1)) << "flush_keys leaves the mouse alone";
    media::flush_mouse();
    EXPECT_EQ(0, media::mouse_hit(1));
    EXPECT_EQ(0, media::mouse_down(1));
    EXPECT_EQ(10, media::mouse_x()) << "a flush keeps the pointer where it is";

    // Releasing after a flush and pressing again counts the new press.
    plat->push(ev::key_up, 32);
    plat->push(ev::key_down, 32);
    EXPECT_EQ(1, media::key_hit(32));
}

TEST_F(unit_input, focus_loss_and_gain_flush_and_suspend_without_spinning) {
    plat->push(ev::key_down, 40);
    plat->push(ev::mouse_down, 2);
    EXPECT_EQ(0, media::app_suspended());
    EXPECT_EQ(0, plat->waits) << "a game with the focus must not wait";
    EXPECT_EQ(1, media::key_down(40));

    plat->push(ev::focus_lost);
    EXPECT_EQ(1, media::app_suspended());
    EXPECT_EQ(0, media::key_down(40)) << "a key held while switching away is not held after";
    EXPECT_EQ(0, media::key_hit(40)) << "the unread press is flushed too";
    EXPECT_EQ(0, media::mouse_down(2));
    EXPECT_EQ(0, media::mouse_hit(2));
    EXPECT_EQ(1, media::app_suspended());
    EXPECT_EQ(2, plat->waits) << "each suspended call waits once for events";
    EXPECT_GT(plat->last_wait_ms, 0);
    EXPECT_LE(plat->last_wait_ms, 50);

    // A key pressed while away, then the focus comes back: flushed again.
    plat->push(ev::key_down, 27);
    plat->push(ev::focus_gained);
    EXPECT_EQ(0, media::app_suspended());
    EXPECT_EQ(0, media::key_hit(27));
    EXPECT_EQ(0, media::key_down(27));
    EXPECT_EQ(4, plat->suspend_queries) << "every call is reported to the platform";
}

TEST_F(unit_input, a_close_request_ends_the_suspension_and_stays_for_app_terminate) {
    plat->push(ev::focus_lost);
    EXPECT_EQ(1, media::app_suspended());
    plat->push(ev::close_request);
    EXPECT_EQ(0, media::app_suspended()) << "a close must not wait for the focus";
    EXPECT_EQ(0, media::app_suspended()) << "until the request is taken";
    EXPECT_EQ(1, media::app_terminate());
    EXPECT_EQ(1, media::app_suspended()) << "still away once the request is taken";
}

TEST_F(unit_input, app_terminate_reports_each_close_request_once) {
    EXPECT_EQ(0, media::app_terminate());
    plat->push(ev::close_request);
    EXPECT_EQ(1, media::app_terminate());
    EXPECT_EQ(0, media::app_terminate());
    // A request taken in by another query still reaches app_terminate.
    plat->push(ev::close_request);
    EXPECT_EQ(0, media::key_hit(27));
    EXPECT_EQ(1, media::app_terminate());
    EXPECT_EQ(0, media::app_terminate());
}

TEST_F(unit_input, pad_axes_buttons_and_loss) {
    EXPECT_EQ(0.0f, media::joy_x(0)) << "no pad reads centred";
    plat->push(ev::joy_axis, 0, 0, 0, -1.0f);
    plat->push(ev::joy_axis, 1, 0, 0, 1.0f);
    plat->push(ev::joy_down, 0);
    plat->push(ev::joy_up, 0);
    plat->push(ev::joy_down, 0);
    plat->push(ev::joy_down, 1);
    plat->push(ev::joy_down, 16);
    plat->push(ev::joy_down, 17);
    EXPECT_EQ(-1.0f, media::joy_x(0));
    EXPECT_EQ(1.0f, media::joy_y(0));
    EXPECT_EQ(0.0f, media::joy_x(1)) << "only port 0 has a pad";
    EXPECT_EQ(2, media::joy_hit(0, 0));
    EXPECT_EQ(0, media::joy_hit(0, 0));
    EXPECT_EQ(1, media::joy_down(16, 0));
    EXPECT_EQ(0, media::joy_down(17, 0)) << "buttons stop at 16";
    EXPECT_EQ(0, media::joy_down(1, 1));

    plat->push(ev::joy_lost);
    EXPECT_EQ(0.0f, media::joy_x(0));
    EXPECT_EQ(0.0f, media::joy_y(0));
    EXPECT_EQ(0, media::joy_down(1, 0)) << "a lost pad holds no buttons";
    EXPECT_EQ(0, media::joy_down(16, 0));

    plat->joysticks = 2;
    EXPECT_EQ(2, media::count_joysticks());
}

TEST_F(unit_input, move_mouse_reads_back_at_once_and_moves_the_system_pointer) {
    plat->push(ev::mouse_move, 0, 600.0f, 400.0f);  // older motion, still queued
    media::move_mouse(320, 220);
    EXPECT_EQ(320, media::mouse_x());
    EXPECT_EQ(220, media::mouse_y());
    EXPECT_EQ(1, plat->warps);
    EXPECT_EQ(320, plat->warp_x);
    EXPECT_EQ(220, plat->warp_y);
    plat->push(ev::mouse_move, 0, 326.0f, 220.0f);
    EXPECT_EQ(326, media::mouse_x()) << "later motion moves it on";

    media::hide_mouse();  // no window here: must be harmless
}

}  // namespace
