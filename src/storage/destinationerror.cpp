#include "storage/destinationerror.h"

#include "storage/localcopy.h"

#include <cerrno>

bool IsRefusedNameError(int code)
{
    return code == ENAMETOOLONG || code == EILSEQ || code == EINVAL;
}

void ThrowDestinationError(int code)
{
    if (code == 0)
        code = EIO;
    if (IsRefusedNameError(code))
        throw DestinationNameRefused(SystemErrorMessage(code));
    throw QvError(SystemErrorMessage(code));
}

bool RefusesName(const std::exception &e)
{
    if (dynamic_cast<const DestinationNameRefused *>(&e))
        return true;
    const auto *copy = dynamic_cast<const LocalCopyError *>(&e);
    return copy && IsRefusedNameError(copy->code());
}
