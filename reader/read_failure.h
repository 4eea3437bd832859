#ifndef BINARIO_READER_READ_FAILURE_H_
#define BINARIO_READER_READ_FAILURE_H_

#include <stdexcept>

namespace binario {

// A run-time failure while the description files are read: a value that does not fit its
// field, a field that is not a number, a record cut off by the end of the file. The readers
// catch it in one place and record it as error code 25.
class ReadFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace binario

#endif  // BINARIO_READER_READ_FAILURE_H_
