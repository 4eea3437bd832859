#ifndef BINARIO_DRIVER_EXIT_STATUS_H_
#define BINARIO_DRIVER_EXIT_STATUS_H_

namespace binario {

// How varelbo ends, for the scripts and tests that run it. Every platform uses the same values.
enum ExitStatus : int {
  kExitOk = 0,           // the run ended normally with no error recorded
  kExitErrore = 1,       // the run ended through the error box
  kExitFailure = 2,      // a failure of the system (a file could not be written, ...) ended it
  kExitErrorStatus = 3,  // the run ended normally, but the error status holds a code
};

}  // namespace binario

#endif  // BINARIO_DRIVER_EXIT_STATUS_H_
