#include "platform/ComputerName.h"

#include "platform/Cp932.h"

#include <unistd.h>

#include <climits>

std::string ComputerName() {
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    // Host names are ASCII in practice; one CP932 cannot hold is as good as none.
    return cp932::FromUtf8(name).value_or("");
}
