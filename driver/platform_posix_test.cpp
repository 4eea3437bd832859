// What the POSIX platform layer shows: every text goes to standard error, one line each.

#include <gtest/gtest.h>

#include "driver/form1.h"
#include "driver/platform.h"

namespace binario {
namespace {

TEST(PlatformPosix, TextsGoToStandardError) {
  ::testing::internal::CaptureStderr();
  platform::show_waiting_window("Form1", "Attendere");
  platform::show_message(" Errore n. 1250");
  RunState state;
  state.codice_errore = 13;
  state.posizione_errore = 34500;
  end_status(state);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "Attendere\n Errore n. 1250\nvarelbo: codice_errore 13, posizione_errore 34500\n");
}

}  // namespace
}  // namespace binario
