#pragma once

// The failure type lives beside the platform layer, the lowest one, so both
// layers answer alike.
#include "platform/result.h"
