#include "driver/form1.h"

#include <filesystem>
#include <new>
#include <system_error>

#include <gtest/gtest.h>

#include "driver/exit_status.h"
#include "driver/platform.h"
#include "driver/run_guard.h"

namespace binario {
namespace {

TEST(Form1, Form1NamesItsFilesInTheExecutablesFolder) {
  Form1 form;
  form.state().nome_linea = "Varelbo";
  form.state().numero_treno = "3874";
  EXPECT_EQ(form.nome_file(ScenarioFile::kTrack),
            platform::executable_folder() + "/Varelbo_3874.dat");
}

TEST(Errore, MessageIsTheLiteralFollowedByTheNumber) {
  EXPECT_EQ(errore_message("1250"), " Errore n. 1250");
  EXPECT_EQ(errore_message("1251"), " Errore n. 1251");
}

TEST(ErroreDeathTest, ShowsTheMessageAndEndsTheProgram) {
  Form1 form;
  EXPECT_EXIT(form.errore("1250"), ::testing::ExitedWithCode(kExitErrore), "^ Errore n\\. 1250\n$");
}

TEST(EndStatus, ZeroOnlyWithoutARecordedCode) {
  RunState state;
  EXPECT_EQ(end_status(state), kExitOk);

  state.codice_errore = 13;
  state.posizione_errore = 34500;
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(end_status(state), kExitErrorStatus);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "varelbo: codice_errore 13, posizione_errore 34500\n");
}

TEST(RunGuarded, GivesTheRunsOwnStatus) {
  EXPECT_EQ(run_guarded([] { return kExitErrorStatus; }), kExitErrorStatus);
}

TEST(RunGuarded, ReportsAnUnhandledFailureWithItsNumberAndDescription) {
  struct Case {
    std::function<int()> run;
    const char* report;
  };
  const Case cases[] = {
      {[]() -> int {
         throw std::system_error(28, std::generic_category(), "cannot write /x/Varelbo.dat");
       },
       "Errore di run-time 28: cannot write /x/Varelbo.dat: No space left on device\n"},
      {[]() -> int { throw std::bad_alloc(); }, "Errore di run-time 12: Cannot allocate memory\n"},
  };
  for (const Case& c : cases) {
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run_guarded(c.run), kExitFailure);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.report);
  }
}

TEST(RunGuarded, ReportsAFileSystemFailureWithThePathConcerned) {
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(run_guarded([] {
              return static_cast<int>(std::filesystem::file_size("/nonexistent/Varelbo.dat"));
            }),
            kExitFailure);
  const std::string report = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(report.rfind("Errore di run-time 2: ", 0), 0u) << report;
  EXPECT_NE(report.find("/nonexistent/Varelbo.dat"), std::string::npos) << report;
}

}  // namespace
}  // namespace binario
