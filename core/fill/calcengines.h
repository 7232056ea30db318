#pragma once

#include "core/fill/calcmodule.h"
#include "core/fill/spreadsheet.h"

#include <memory>

// The spreadsheet application over the Calc module: its answers become the
// run's errors on this side of the module boundary.
std::unique_ptr<Sheets::Engines> calcEngines(std::shared_ptr<CalcModule::Office> office);
