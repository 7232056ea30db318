#pragma once

#include "core/fill/engines.h"

#include <QtGlobal>

// The office module the build made, for a test program that does not sit
// beside it: the test's environment names it in QLT_CALC_MODULE (the
// installed programs only look beside themselves).
// Including this header is enough: it runs before the test's main.
inline void useTestCalcModule()
{
    const QString path = qEnvironmentVariable("QLT_CALC_MODULE");
    if (!path.isEmpty())
        SystemEngines::setCalcModulePath(path);
}
Q_CONSTRUCTOR_FUNCTION(useTestCalcModule)
