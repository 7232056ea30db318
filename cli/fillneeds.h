#pragma once

#include "cli/fillplan.h"

// What a planned "QLT fill" needs beyond reading and writing files, decided
// before anything starts: a drawing application only for what is printed or
// rendered, an office only for what only it does.
namespace FillNeeds {

struct Needs {
    // Prints, and PDF copies of rich text, HTML or plain text, are drawn
    // by QLT: they need the GUI application and its platform plugin.
    bool drawing = false;
    // PDF copies and prints of .docx/.odt, "quality" prints the office
    // makes, and workbooks only the office fills: one office for the run,
    // started ahead.
    bool office = false;
};

Needs of(const FillPlan::Plan &plan);

} // namespace FillNeeds
