#pragma once
// The frame loop: one pass reads the input, draws, moves the units and presents.
#include "shell/game.h"
#include "shell/session.h"

// One pass of the frame loop.
void run_pass(Game& g, Session& s);
