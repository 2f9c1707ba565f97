// Counts the threads started in the runner's process, so that it can refuse a command
// that starts one: the host calls plug-ins on its main thread only and promises nothing
// to threads they start.
#pragma once

namespace vantrel_host {

// Threads started through pthread_create (std::thread included) since the process began.
long ThreadsStarted();

}  // namespace vantrel_host
