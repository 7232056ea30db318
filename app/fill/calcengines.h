#pragma once

#include "app/fill/calc/calcmodule.h"
#include "app/fill/spreadsheet.h"

#include <memory>

// The spreadsheet application over the Calc module: its answers become the
// run's errors on this side of the module boundary.
std::unique_ptr<Sheets::Engines> calcEngines(std::shared_ptr<CalcModule::Office> office);
