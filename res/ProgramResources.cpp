#include "ProgramResources.h"

#include "Strings.h"
#include "settings/HomeFiles.h"

AppResources ProgramResources() {
    return {kAppName, kTextPathNotCp932};
}
