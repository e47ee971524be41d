// The player's flying team: a courier on a gift sleigh pulled by two frost
// elk with glimmering ice antlers. Drawn facing right, in frame pixels.
#pragma once

#include "draw.h"

namespace ag {

enum class gait { reach, tuck, stunned, boost_a, boost_b };

struct elk_pose {
    gait g;
    bool lead;  // the front elk wears the star blaze
};

void draw_elk(pen& p, float x, float y, elk_pose pose);
void draw_sleigh(pen& p, float x, float y, gait g);
void draw_courier(pen& p, float x, float y, gait g);
// Streaks and sparkles behind the sleigh while boosting.
void draw_trail(pen& p, float x0, float x1, float y, int phase);

}  // namespace ag
