// Scene timelines: every scene keeps an ascending table of the demo times at which its legs end
// and picks the leg a frame falls in from it.
#pragma once

// The leg of a scene's timeline that demo time t falls in: the number of leg ends t is past
// (0 during the first leg, N once past the last of the N ends).
template <int N>
int timelineLeg(const float (&ends)[N], float t)
{
    int leg = 0;
    for (float end : ends)
        if (t > end) ++leg;
    return leg;
}
