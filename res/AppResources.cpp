#include "AppResources.h"

#include "Strings.h"

AppResources ProgramResources() {
    return {kAppName, kTextPathNotCp932};
}
