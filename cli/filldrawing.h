#pragma once

#include "core/fill/documents.h"

#include <functional>
#include <memory>

class OfficeSession;
class RunContext;

// What a fill that prints, or draws PDF copies of text, needs beyond
// reading and writing files: a drawing application and our renderer. The
// module with the windows provides it, so a run that only writes files
// loads none of the drawing libraries.
class FillDrawing {
public:
    virtual ~FillDrawing() = default;
    // Runs `body` inside the drawing application object, named by argv[0].
    virtual int withApplication(char *argv0, const std::function<int()> &body) const = 0;
    virtual std::unique_ptr<Documents::Printing> printing(OfficeSession *office, RunContext *run) const = 0;
    virtual Status pdfCopyBeside(const QString &savedPath, OfficeSession *office, RunContext *run) const = 0;
};
