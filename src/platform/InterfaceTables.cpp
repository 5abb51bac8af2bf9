#include "platform/InterfaceTables.h"

namespace {

const InterfaceTableSource* g_replacement = nullptr;

}  // namespace

const InterfaceTableSource& CurrentInterfaceTables() {
    return g_replacement != nullptr ? *g_replacement : SystemInterfaceTables();
}

void ReplaceInterfaceTables(const InterfaceTableSource* source) {
    g_replacement = source;
}
