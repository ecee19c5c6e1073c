// "SAVE SETTINGS": the gate, the write path and the disable run.
#pragma once

#include <filesystem>

#include "form/form.h"

namespace nuv {

// Runs Save on the window in its folder (form.directory()); sets the status
// box, may show message boxes, records and returns the outcome.
SaveOutcome save(Form& form);

}  // namespace nuv
