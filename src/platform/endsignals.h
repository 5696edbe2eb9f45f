#pragma once
// The requests from outside to end the program: SIGTERM (systemctl stop, shut-down),
// SIGINT (Ctrl+C) and SIGHUP (logout, terminal gone), and the session manager's end
// of the session. They reach the program as one call in its event loop.
#include <functional>

namespace platform {

// From now on each of those requests calls onEnd in the event loop; the signal handler itself
// only writes one byte into a pipe. Call after the application object exists.
void catchEndRequests(std::function<void()> onEnd);
// The signals back to their default action, and no request marked (tests).
void releaseEndRequests();

// Set once a request from outside asked the program to end: nobody may be there to answer
// a dialog, so from then on none may wait for an answer.
bool endRequested();
void markEndRequested();

}  // namespace platform
