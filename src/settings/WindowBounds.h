#pragma once

#include "model/Stores.h"

namespace kurvaro {

/// The main window's designed outer bounds: where it opens when the settings
/// file names none. The window and the plain view store start from them.
inline constexpr int DesignedWindowBound(WindowBound b)
{
    switch (b) {
    case WindowBound::Width:
        return 683;
    case WindowBound::Height:
        return 498;
    case WindowBound::Top:
        return 115;
    case WindowBound::Left:
        return 183;
    }
    return 0;
}

} // namespace kurvaro
