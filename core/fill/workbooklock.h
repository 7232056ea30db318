#pragma once

#include "core/fill/runcontext.h"
#include "platform/filelock.h"

#include <QString>

#include <memory>

// The lock one fill holds on a workbook from reading it to putting the
// filled copy in its place, so that fills by several people or batch jobs
// at once each add their record and none is lost.
namespace SheetFill {

// The hidden lock file beside the workbook.
QString lockPathFor(const QString &workbookPath);

// Takes the workbook's lock, waiting with the caption "Waiting for " + the
// file name while another fill holds it, up to the run's lockWaitMs. Fails
// naming the holder when the wait ends, or saying why the lock cannot be
// taken.
Result<std::unique_ptr<Platform::FileLock>> lockWorkbook(const QString &path, RunContext &run);

} // namespace SheetFill
