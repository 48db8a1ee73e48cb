#include "common/TextLineEnds.h"

QLatin1String platformTextLineEnd()
{
    return QLatin1String("\n");
}
