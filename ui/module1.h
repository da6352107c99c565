// The settings shared by the two windows for the whole run: squares across, squares down and
// the edge of one square in pixels. Only the settings dialog writes them.
#pragma once

#include <settings.h>

namespace Module1 {
Settings &settings();
}
