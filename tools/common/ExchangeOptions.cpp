#include "ExchangeOptions.h"

namespace nr::tools {

void ExchangeOptions::AddTo(CLI::App& parser) {
    parser.add_option("--port", port)->transform(WholeNumber(1, 65535));
    parser.add_flag("--three", threeByte);
    parser.add_option("--timeout", timeoutSeconds)
        ->transform(DecimalNumber(0.001, kMaxTimeoutSeconds));
}

}  // namespace nr::tools
