// The live-road tests run in a network namespace of their own where the machine allows
// it: the live-link ports are then always free, and nothing the tests send can reach a
// program outside them. Linking private_network.cpp into a test program enters it
// before the first test.
#pragma once

#include <string>

// Why the live-link ports cannot be used now, or empty: only without a private network
// and while another program listens on one of them.
std::string livePortsUnusable();
