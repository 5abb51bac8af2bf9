#include "ui/wnd/AppResources.h"

namespace {

AppResources g_resources;

}  // namespace

void AfxSetAppResources(AppResources resources) {
    g_resources = std::move(resources);
}

const AppResources& AfxGetAppResources() {
    return g_resources;
}
