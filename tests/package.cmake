# The Debian package, built by scripts/package.sh, installed with apt-get, run, and purged
# (tests/package/deb_install.sh). It changes the system's packages, so it needs root and
# skips (77) with the reason otherwise; it builds the package preset first, so it is slow.
add_test(NAME package_deb_install
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/package/deb_install.sh ${CMAKE_SOURCE_DIR})
set_tests_properties(package_deb_install PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 1200
                     RUN_SERIAL TRUE LABELS "window;package;slow")

# The Windows zip (scripts/package.sh --windows), unzipped and run under Wine from an empty
# folder: `citywalk.exe drive` finds the demo beside the program. Labelled like the other
# Wine test, so that the sanitizer run leaves it out.
add_test(NAME package_zip_wine
         COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/package/zip_wine.sh ${CMAKE_SOURCE_DIR})
set_tests_properties(package_zip_wine PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 900 RUN_SERIAL TRUE
                     LABELS "window;wine;package;slow")
