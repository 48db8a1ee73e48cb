#include "UpdateCheckState.h"

#include <utility>

bool UpdateCheckState::takeIsNextCheckManual()
{
    return std::exchange(isNextCheckManual, false);
}

std::optional<UpdateCheckState::Result> UpdateCheckState::takePendingResult()
{
    return std::exchange(pendingResult, std::nullopt);
}
