// varelbo: writes the scenario's files next to itself and compiles its route.

#include "driver/form1.h"
#include "driver/run_guard.h"

int main() {
  return binario::run_guarded([] {
    binario::Form1 form;
    return form.Form_Load();
  });
}
