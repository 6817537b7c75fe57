#pragma once
// A set-up step: one piece of the work the road does against the recorder, a camera or the cloud service, with
// no window in sight. The wizard's pages and vrx-provision run the very same steps; neither holds a request, a
// wait or a poll count of its own.
//
// A step is a plain function (or a small class when it keeps state between calls) that takes
//  - its typed inputs: a net::RecorderEndpoint, secrets as net::Secret, plain values;
//  - a StepContext: the worker whose numbered commands it issues, and the thread it runs on, which it polls
//    (Running) and sleeps on (Sleep wakes early, and Running turns false, when its owner stops it);
// and returns a typed result whose errors are data (an enum class or a small struct), never a language key, a
// text for the screen or a widget. Every wait, order and count the step keeps is a named constant beside it.

#include "platform/BackgroundJob.h"

namespace vrx::net {
class DeviceCommandWorker;
class HttpGet;
}  // namespace vrx::net

namespace vrx::steps {

struct StepContext {
  net::DeviceCommandWorker& worker;  // one command at a time: the caller gives each recorder its own
  BackgroundJob& thread;             // the thread the step runs on: its run flag and its Sleep
};

// A step that sends its HTTP requests itself rather than through the worker's numbered commands (the time
// zone requests, the disk information) is handed the client instead: its owner aborts that client to end a
// transfer in flight when it stops the thread.
struct HttpStepContext {
  net::HttpGet& http;     // used by the step's thread only while the step runs
  BackgroundJob& thread;
};

}  // namespace vrx::steps
