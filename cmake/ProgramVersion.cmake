# The one version of the project, from project(): ziprepair --version, the
# About box, the updater and the Debian packages all read it from here.
# Targets link vrz_version and use the VRZ_PROGRAM_VERSION string literal.
add_library(vrz_version INTERFACE)
target_compile_definitions(vrz_version INTERFACE VRZ_PROGRAM_VERSION="${PROJECT_VERSION}")

# The project page: where the updater sends people, and the packages' homepage.
set(VRZ_PROJECT_URL "https://github.com/vant/repair-zip")
target_compile_definitions(vrz_version INTERFACE VRZ_PROJECT_URL="${VRZ_PROJECT_URL}")

# When this version came out: the software-centre release entry. The top entry
# of packaging/changelog carries the same version and date (a test checks).
set(VRZ_RELEASE_DATE "2026-12-08")
