// The live-road tests and benchmarks run in a network namespace of their own where the
// machine allows it: the live-link ports are then always free, and nothing they send can
// reach a program outside them. Test programs that link private_network_environment.cpp
// enter it before the first test.
#pragma once

#include <string>

// Moves this process into a new network namespace with loopback up. Call while the
// process has no other thread (a threaded process cannot enter a user namespace).
// Empty on success, else why not.
std::string enterPrivateNetwork();

// Why the live-link ports cannot be used now, or empty: only without a private network
// and while another program listens on one of them.
std::string livePortsUnusable();
