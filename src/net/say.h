// The network's lines on stdout ("torvi: player 1 joined: ann"), for scripts that watch a
// game and for the people who run hosts.
#pragma once

void say(const char* format, ...) __attribute__((format(printf, 1, 2)));
