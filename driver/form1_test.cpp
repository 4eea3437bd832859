#include "driver/form1.h"

#include <cerrno>
#include <filesystem>
#include <new>
#include <system_error>

#include <gtest/gtest.h>

#include "driver/exit_status.h"
#include "driver/platform.h"
#include "driver/run_guard.h"
#include "testing/test_files.h"

namespace binario {
namespace {

TEST(Form1, NamesItsFilesInTheExecutablesFolder) {
  Form1 form;
  form.state().nome_linea = "Varelbo";
  form.state().numero_treno = "3874";
  EXPECT_EQ(form.nome_file(ScenarioFile::kTrack),
            platform::executable_folder() + platform::path_separator() + "Varelbo_3874.dat");
}

TEST(Errore, MessageIsTheLiteralFollowedByTheNumber) {
  EXPECT_EQ(errore_message("1250"), " Errore n. 1250");
  EXPECT_EQ(errore_message("1251"), " Errore n. 1251");
}

// Shows the error box, answered with OK, and ends the program.
[[noreturn]] void errore_answered(const char* a) {
  testing::MessageAnswerer answerer;
  Form1().errore(a);
}

TEST(ErroreDeathTest, ShowsTheMessageAndEndsTheProgram) {
  EXPECT_EXIT(errore_answered("1250"), ::testing::ExitedWithCode(kExitErrore),
              "^ Errore n\\. 1250\n$");
}

TEST(EndStatus, ZeroOnlyWithoutARecordedCode) {
  RunState state;
  EXPECT_EQ(end_status(state), kExitOk);
  state.codice_errore = 13;
  EXPECT_EQ(end_status(state), kExitErrorStatus);
}

TEST(RunGuarded, GivesTheRunsOwnStatus) {
  EXPECT_EQ(run_guarded([] { return kExitErrorStatus; }), kExitErrorStatus);
}

TEST(RunGuarded, ReportsAnUnhandledFailureWithItsNumberAndDescription) {
  struct Case {
    std::function<int()> run;
    std::string report;
  };
  const Case cases[] = {
      {[]() -> int {
         throw std::system_error(ENOSPC, std::generic_category(), "cannot write Varelbo.dat");
       },
       "Errore di run-time " + std::to_string(ENOSPC) +
           ": cannot write Varelbo.dat: " + std::generic_category().message(ENOSPC) + "\n"},
      {[]() -> int { throw std::bad_alloc(); },
       "Errore di run-time " + std::to_string(ENOMEM) + ": " +
           std::generic_category().message(ENOMEM) + "\n"},
  };
  for (const Case& c : cases) {
    testing::ShownMessages shown;
    EXPECT_EQ(run_guarded(c.run), kExitFailure);
    EXPECT_EQ(shown.text(), c.report);
  }
}

TEST(RunGuarded, ReportsAFileSystemFailureWithThePathConcerned) {
  const std::filesystem::path missing = std::filesystem::path("nonexistent") / "Varelbo.dat";
  std::error_code expected;
  static_cast<void>(std::filesystem::file_size(missing, expected));
  testing::ShownMessages shown;
  EXPECT_EQ(run_guarded([&] { return static_cast<int>(std::filesystem::file_size(missing)); }),
            kExitFailure);
  const std::string report = shown.text();
  EXPECT_EQ(report.rfind("Errore di run-time " + std::to_string(expected.value()) + ": ", 0), 0u)
      << report;
  EXPECT_NE(report.find(missing.string()), std::string::npos) << report;
}

}  // namespace
}  // namespace binario
