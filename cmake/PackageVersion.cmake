# What the Debian package and the Windows packages both carry: one version and one publisher.

# dpkg compares dotted numbers part by part, so the file version maps one to one; a revision of
# 0 is left out, as the window's version text leaves it out.
set(NR_PACKAGE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH})
if(PROJECT_VERSION_TWEAK)
    string(APPEND NR_PACKAGE_VERSION .${PROJECT_VERSION_TWEAK})
endif()
set(NR_PACKAGE_PUBLISHER "NR-QD8K maintainers")
set(NR_PACKAGE_MAINTAINER "${NR_PACKAGE_PUBLISHER} <nr-qd8k@example.com>"
    CACHE STRING "The package's Maintainer field")
