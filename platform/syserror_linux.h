#pragma once

#include "platform/result.h"

#include <cerrno>
#include <cstring>

namespace Platform {

// The system's description of the last call's error (errno).
inline Failure systemFailure()
{
    return Failure{QString::fromLocal8Bit(std::strerror(errno))};
}

} // namespace Platform
