// The program's one unrecoverable failure path. The services call it when a
// control they were asked for is gone or memory runs out; the start-up owns it
// (it shows the error box and ends the process with exit code -1).
#pragma once

namespace vantrel {

[[noreturn]] void FatalError(const char* what);

}  // namespace vantrel
