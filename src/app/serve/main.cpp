// nr-serve: NR-QD8K's server without a window, for a machine that only serves. It keeps its
// files where NR-QD8K keeps them and serves as the settings file saved last says.
#include "Strings.h"
#include "app/serve/ServeOnly.h"
#include "platform/HomeFolder.h"
#include "platform/ModuleInfo.h"
#include "platform/SocketSession.h"
#include "platform/TerminalText.h"
#include "platform/TerminationSignals.h"
#include "settings/HomeFiles.h"

#include <string>

int main() {
    // Sockets first: on Windows the event the signals set is one.
    const SocketSession sockets;
    TerminationSignals::Catch();
    TerminalText out(stdout);
    TerminalText errors(stderr);
    auto refuse = [&errors](const std::string& why) {
        errors.Write(why + "\r\n");
        return 1;
    };
    if (sockets.Error() != 0) return refuse(kTextSocketInitFailed);
    if (!TerminationSignals::AreCaught()) return refuse(kTextSignalsFailed);
    const HomeFolder home = FindHomeFolder(ModuleInfo::Current(), kAppName);
    if (home.problem != HomeFolder::kFound) return refuse(HomeFolderRefusal(home));
    return ServeOnly(home.path, out, errors).Run();
}
