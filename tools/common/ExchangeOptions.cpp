#include "ExchangeOptions.h"

namespace nr::tools {

bool ExchangeOptions::Take(ArgScanner& args) {
    const std::string_view arg = args.Current();
    if (arg == "--port") {
        if (const auto value = args.WholeValue(1, 65535)) port = static_cast<std::uint16_t>(*value);
    } else if (arg == "--three") {
        threeByte = true;
    } else if (arg == "--timeout") {
        if (const auto seconds = args.DecimalValue(0.001, kMaxTimeoutSeconds)) {
            timeoutSeconds = *seconds;
        }
    } else {
        return false;
    }
    return true;
}

}  // namespace nr::tools
