#include "ui/wnd/Prompter.h"

namespace {

Prompter* g_replacement = nullptr;

}  // namespace

Prompter& Prompter::Current() {
    return g_replacement != nullptr ? *g_replacement : System();
}

void Prompter::Replace(Prompter* prompter) {
    g_replacement = prompter;
}
